#pragma once

#include <wayland-client.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/wayland/wayland_handles.h"
#include "platform/window/native_window.h"

namespace platform::wayland {

// A rectangle of a buffer of size `buffer` in the coordinates of a surface
// of size `surface` that shows it: every surface pixel it touches.
[[nodiscard]] PixelRect BufferToSurface(const PixelRect& rect, PixelSize buffer, PixelSize surface);

// The window's pictures on their way to the compositor, in shared-memory
// buffers of the image's own layout (XRGB8888). The compositor reads a
// buffer until it releases it, so there are a few; each is brought up to
// date with only what changed since it was last sent, and the compositor is
// told only of what changed since the last frame.
class WaylandPresenter {
public:
    explicit WaylandPresenter(wl_shm* shm);
    ~WaylandPresenter();
    WaylandPresenter(const WaylandPresenter&) = delete;
    WaylandPresenter& operator=(const WaylandPresenter&) = delete;

    // The picture as the window is to show it, for a picture of this size.
    [[nodiscard]] WindowPixels Pixels(int width, int height);
    // A buffer is free for the next picture, or can be made.
    [[nodiscard]] bool HasFreeBuffer() const;
    // Attaches the picture to the surface in a free buffer, with these
    // rectangles of it as the damage, for the caller to commit. The
    // surface is `surfaceSize` in its own coordinates, which is where a
    // compositor older than wl_surface.damage_buffer takes damage.
    void Attach(wl_surface* surface, const std::vector<PixelRect>& rects, PixelSize surfaceSize);

private:
    struct Buffer;

    [[nodiscard]] Buffer* FreeBuffer();
    void Allocate(int width, int height);

    wl_shm* shm_;
    int width_ = 0;
    int height_ = 0;
    // The picture, which every buffer catches up with as it is sent.
    std::vector<std::uint32_t> shown_;
    std::vector<std::unique_ptr<Buffer>> buffers_;
};

}  // namespace platform::wayland
