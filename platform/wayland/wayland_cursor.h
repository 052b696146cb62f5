#pragma once

// The pointer's image over the window: the desktop's cursor theme, drawn
// at the scale of the output the window is on.

#include <wayland-client.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "platform/wayland/wayland_display.h"
#include "platform/wayland/wayland_handles.h"

namespace platform::wayland {

// The cursor theme and size the desktop asks for (XCURSOR_THEME and
// XCURSOR_SIZE, which GNOME, KDE and sway set): the default theme at 24
// pixels where they are unset or make no sense.
struct CursorLook {
    std::optional<std::string> theme;
    int size = 24;

    [[nodiscard]] static CursorLook FromEnvironment();
    // The same from the variables' texts, null where unset.
    [[nodiscard]] static CursorLook From(const char* theme, const char* size);
};

// The arrow, set on a pointer that entered the window, in a surface of its
// own with the theme's image at the window's scale. Every theme asked for
// is kept, so that a move between outputs costs no second load.
class WaylandCursor {
public:
    explicit WaylandCursor(const WaylandDisplay& display);
    ~WaylandCursor();
    WaylandCursor(const WaylandCursor&) = delete;
    WaylandCursor& operator=(const WaylandCursor&) = delete;

    // Shows the arrow for the pointer that entered with this serial; throws
    // a run-time error where the theme gives none.
    void Set(wl_pointer* pointer, std::uint32_t serial, int scale);

private:
    [[nodiscard]] wl_cursor* Arrow(int scale);

    wl_shm* shm_;
    CursorLook look_;
    // Where the compositor lacks wl_surface.set_buffer_scale, every image
    // is drawn at scale 1.
    bool scales_;
    SurfaceHandle surface_;
    std::map<int, CursorThemeHandle> themes_;  // by scale
};

}  // namespace platform::wayland
