#include "platform/x11/x_display_probe.h"

#include <X11/Xlib.h>

#include <cstdlib>

#include "platform/process/captured_stderr.h"

namespace platform::x11 {

std::optional<std::string> WhyXDisplayCannotBeOpened() {
    const char* name = std::getenv("DISPLAY");
    if (name == nullptr || *name == '\0') {
        return "DISPLAY is not set, so there is no X display to open it on";
    }
    CapturedStderr captured;
    Display* display = XOpenDisplay(nullptr);
    const std::string said = captured.Text();
    if (display != nullptr) {
        XCloseDisplay(display);
        return std::nullopt;
    }
    const std::string where = "the X display '" + std::string(name) + "' ";
    return said.empty() ? where + "cannot be reached" : where + "refused the connection: " + said;
}

}  // namespace platform::x11
