#include "platform/wayland/wayland_cursor.h"

#include <charconv>
#include <cstdlib>
#include <string_view>

#include "platform/run_time_error.h"

namespace platform::wayland {
namespace {

// Beyond this a size is a mistake, not a wish: cursor themes stop at 256.
constexpr int kLargestSize = 256;

}  // namespace

CursorLook CursorLook::FromEnvironment() { return From(std::getenv("XCURSOR_THEME"), std::getenv("XCURSOR_SIZE")); }

CursorLook CursorLook::From(const char* theme, const char* size) {
    CursorLook look;
    if (theme != nullptr && *theme != '\0') {
        look.theme = theme;
    }
    if (size != nullptr) {
        const std::string_view text(size);
        int value = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (error == std::errc{} && end == text.data() + text.size() && value > 0 && value <= kLargestSize) {
            look.size = value;
        }
    }
    return look;
}

WaylandCursor::WaylandCursor(const WaylandDisplay& display)
    : shm_(display.Shm()),
      look_(CursorLook::FromEnvironment()),
      scales_(display.ScalesBuffers()),
      surface_(wl_compositor_create_surface(display.Compositor())) {}

WaylandCursor::~WaylandCursor() {
    surface_.reset();
    themes_.clear();
}

// The theme's "default" cursor, which newer themes name so, or its
// "left_ptr", which every X cursor theme has; libwayland-cursor gives a
// built-in theme where the desktop's cannot be found.
wl_cursor* WaylandCursor::Arrow(int scale) {
    auto& theme = themes_[scale];
    if (!theme) {
        theme.reset(wl_cursor_theme_load(look_.theme ? look_.theme->c_str() : nullptr, look_.size * scale, shm_));
        if (!theme) {
            themes_.erase(scale);
            throw RunTimeError("cannot show the pointer over the window",
                               "the cursor theme '" + look_.theme.value_or("default") + "' cannot be loaded");
        }
    }
    for (const char* name : {"default", "left_ptr"}) {
        if (wl_cursor* cursor = wl_cursor_theme_get_cursor(theme.get(), name); cursor != nullptr) {
            return cursor;
        }
    }
    throw RunTimeError("cannot show the pointer over the window",
                       "the cursor theme '" + look_.theme.value_or("default") + "' has no arrow");
}

void WaylandCursor::Set(wl_pointer* pointer, std::uint32_t serial, int scale) {
    scale = scales_ ? scale : 1;
    wl_cursor_image* image = Arrow(scale)->images[0];
    // A buffer's size must be a whole number of surface pixels: an image
    // that is not is shown at scale 1, larger and softer, but shown.
    if (image->width % static_cast<std::uint32_t>(scale) != 0 ||
        image->height % static_cast<std::uint32_t>(scale) != 0) {
        scale = 1;
        image = Arrow(scale)->images[0];
    }
    wl_buffer* buffer = wl_cursor_image_get_buffer(image);
    if (buffer == nullptr) {
        throw RunTimeError("cannot show the pointer over the window", "the cursor's image has no buffer");
    }
    wl_surface_attach(surface_.get(), buffer, 0, 0);
    if (scales_) {
        wl_surface_set_buffer_scale(surface_.get(), scale);
    }
    wl_surface_damage(surface_.get(), 0, 0, INT32_MAX, INT32_MAX);
    wl_surface_commit(surface_.get());
    // The hotspot is in the surface's coordinates, the image's over its scale.
    wl_pointer_set_cursor(pointer, serial, surface_.get(), static_cast<std::int32_t>(image->hotspot_x) / scale,
                          static_cast<std::int32_t>(image->hotspot_y) / scale);
}

}  // namespace platform::wayland
