// Linux: the window is a native Wayland one in a Wayland session, an X11
// one through SDL otherwise.

#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>

#include "platform/desktop.h"
#include "platform/form_runtime.h"
#include "platform/sdl/error_box.h"
#include "platform/sdl/sdl_form.h"
#include "platform/termination_signals.h"
#include "platform/wayland/wayland_form.h"
#include "platform/wayland/wayland_session.h"

namespace platform {
namespace {

template <typename Window>
std::optional<std::string> RunIn(const FormDesign& design, const FormEventsFactory& makeEvents,
                                 TerminationSignals& signals) {
    Window form(design, signals);
    const std::unique_ptr<FormEvents> events = makeEvents(form);
    return RunForm(form, *events);
}

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

std::optional<std::string> Run(const FormDesign& design, const FormEventsFactory& makeEvents) {
    try {
        TerminationSignals signals;
        if (ChooseWayland()) {
            return RunIn<wayland::WaylandForm>(design, makeEvents, signals);
        }
        return RunIn<sdl::SdlForm>(design, makeEvents, signals);
    } catch (const std::exception& error) {
        return error.what();
    }
}

}  // namespace

int RunOnDesktop(const std::string& program, const FormDesign& design, const FormEventsFactory& makeEvents) {
    // The window is gone by now: the report stands on its own.
    const std::optional<std::string> error = Run(design, makeEvents);
    if (!error) {
        return 0;
    }
    const std::string line = RunTimeErrorLine(program, *error);
    std::cerr << line << std::endl;
    sdl::ShowErrorBox(program, line);
    return 1;
}

}  // namespace platform
