// Linux: the window is a native Wayland one in a Wayland session, an X11
// one through SDL otherwise; a run-time error is shown in SDL's message box.

#include <SDL.h>

#include <cstdlib>
#include <string>

#include "platform/process/captured_stderr.h"
#include "platform/process/termination_signals.h"
#include "platform/process/window_kind.h"
#include "platform/wayland/wayland_session.h"
#include "platform/wayland/wayland_window.h"
#include "platform/x11/x11_window.h"

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
        return RunIn(design, std::make_unique<wayland::WaylandWindow>(design, signals), makeEvents);
    }
    return RunIn(design, std::make_unique<x11::X11Window>(design, signals), makeEvents);
}

void ShowErrorBox(const std::string& program, const std::string& report) {
    // Where there is no display the message box cannot open either, and the
    // report on stderr is the whole of it; what Xlib says about that again
    // is kept off the terminal.
    const CapturedStderr quiet;
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, program.c_str(), report.c_str(), nullptr);
}

}  // namespace platform
