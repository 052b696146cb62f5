#pragma once

#include <wayland-client.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/image/persistent_image.h"
#include "platform/wayland/wayland_handles.h"

namespace platform::wayland {

// The window's image on its way to the compositor, in shared-memory buffers
// of the image's own layout (XRGB8888). The compositor reads a buffer until
// it releases it, so there are a few; each is brought up to date with only
// what changed since it was last sent, and the compositor is told only of
// what changed since the last frame.
class WaylandPresenter {
public:
    explicit WaylandPresenter(wl_shm* shm);
    ~WaylandPresenter();
    WaylandPresenter(const WaylandPresenter&) = delete;
    WaylandPresenter& operator=(const WaylandPresenter&) = delete;

    // Attaches the image's changes since the last call to the surface, with
    // their damage, for the caller to commit; everything when `fresh`.
    // False when there was nothing to attach: nothing changed, or the
    // compositor still holds every buffer (the changes go with the next).
    bool Attach(wl_surface* surface, PersistentImage& image, bool fresh, int bufferScale);

private:
    struct Buffer;

    [[nodiscard]] Buffer* FreeBuffer();
    void Allocate(int width, int height);

    wl_shm* shm_;
    int width_ = 0;
    int height_ = 0;
    // What the compositor was last sent, to find the tiles that differ.
    std::vector<std::uint32_t> shown_;
    // Changed since the last attach, not yet sent.
    std::vector<PixelRect> damage_;
    std::vector<std::unique_ptr<Buffer>> buffers_;
};

}  // namespace platform::wayland
