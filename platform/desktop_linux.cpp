// Linux: the window is a native Wayland one in a Wayland session, an X11
// one through SDL otherwise.

#include <cstdlib>
#include <string>

#include "platform/desktop_window.h"
#include "platform/sdl/error_box.h"
#include "platform/sdl/sdl_form.h"
#include "platform/termination_signals.h"
#include "platform/wayland/wayland_form.h"
#include "platform/wayland/wayland_session.h"

namespace platform {
namespace {

// SDL_VIDEODRIVER, as with any SDL program, chooses x11 or wayland; without
// it a Wayland compositor that answers wins, also beside an X display (as
// on GNOME and KDE, whose X display is XWayland).
bool ChooseWayland() {
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    if (driver != nullptr && *driver != '\0') {
        return std::string(driver) == "wayland";
    }
    return wayland::CompositorAnswers();
}

}  // namespace

std::optional<std::string> RunInWindow(const FormDesign& design, const FormEventsFactory& makeEvents) {
    TerminationSignals signals;
    if (ChooseWayland()) {
        return RunIn<wayland::WaylandForm>(makeEvents, design, signals);
    }
    return RunIn<sdl::SdlForm>(makeEvents, design, signals);
}

void ShowErrorBox(const std::string& program, const std::string& report) { sdl::ShowErrorBox(program, report); }

}  // namespace platform
