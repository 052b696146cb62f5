// Linux: the window is a native Wayland one in a Wayland session, an X11
// one otherwise; a run-time error is shown in SDL's message box, where SDL
// is to be had.

#include <SDL_messagebox.h>
#include <dlfcn.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "platform/process/captured_stderr.h"
#include "platform/process/program_entry_system.h"
#include "platform/process/termination_signals.h"
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

struct LibraryCloser {
    void operator()(void* library) const { dlclose(library); }
};

}  // namespace

std::optional<std::string> RunInWindow(const FormDesign& design, const FormEventsFactory& makeEvents) {
    // Held back before the window's libraries start any thread.
    auto signals = std::make_unique<TerminationSignals>();
    if (ChooseWayland()) {
        return RunIn(design, std::make_unique<wayland::WaylandWindow>(), std::move(signals), makeEvents);
    }
    return RunIn(design, std::make_unique<x11::X11Window>(), std::move(signals), makeEvents);
}

// SDL's box looks as the desktop's own do, on X11 and on Wayland; it is
// loaded only now, so that a running program maps none of it. Without SDL,
// or without a display for the box, the line on stderr is the whole report,
// and what the box's libraries say of that is kept off the terminal.
void ShowErrorBox(const std::string& program, const std::string& report) {
    const CapturedStderr quiet;
    const std::unique_ptr<void, LibraryCloser> sdl(dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_LOCAL));
    if (!sdl) {
        return;
    }
    auto* show = reinterpret_cast<decltype(&SDL_ShowSimpleMessageBox)>(dlsym(sdl.get(), "SDL_ShowSimpleMessageBox"));
    if (show != nullptr) {
        (void)show(SDL_MESSAGEBOX_ERROR, program.c_str(), report.c_str(), nullptr);
    }
}

}  // namespace platform
