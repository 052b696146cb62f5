#include "platform/wayland/wayland_session.h"

#include <wayland-client.h>

#include <cstdlib>

#include "platform/wayland/wayland_handles.h"

namespace platform::wayland {

bool CompositorAnswers() {
    const char* name = std::getenv("WAYLAND_DISPLAY");
    if (name == nullptr || *name == '\0') {
        return false;
    }
    const DisplayHandle display(wl_display_connect(nullptr));
    return display != nullptr;
}

}  // namespace platform::wayland
