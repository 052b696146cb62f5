#include "platform/x11/sdl_video.h"

#include <SDL_syswm.h>

#include <cstdlib>
#include <string>

#include "platform/run_time_error.h"
#include "platform/x11/display_loss.h"
#include "platform/x11/x_display_probe.h"

namespace platform::x11 {
namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

}  // namespace

VideoSubsystem::VideoSubsystem() {
    // Only an X display will do: SDL's fallbacks draw to nowhere and would
    // leave the program running without a window. A driver the user names
    // in SDL_VIDEODRIVER is tried, and refused if it is not X11.
    std::string driver = Environment("SDL_VIDEODRIVER");
    if (driver.empty()) {
        driver = "x11";
        SDL_SetHint(SDL_HINT_VIDEODRIVER, driver.c_str());
    }
    // SDL's own words for a display it cannot reach are vague ("x11 not
    // available"); the person at the terminal needs to know which display,
    // and why.
    if (driver == "x11") {
        if (const auto why = WhyXDisplayCannotBeOpened()) {
            throw RunTimeError("cannot open the window", *why);
        }
    }
    // SIGINT and SIGTERM are the program's own to answer (TerminationSignals).
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // A click on a window that is not active both activates it and is a
    // click, as on every desktop the program knows.
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    // The program takes no typed text, yet SDL opens an X input method,
    // and Xlib then parses the locale's whole compose table (thousands of
    // lines, some 20 ms of the start-up, twice over). An empty table serves
    // a window that only listens for clicks. Only this process sees it.
    if (driver == "x11" && setenv("XCOMPOSEFILE", "/dev/null", 1) != 0) {
        throw RunTimeError("cannot open the window", "cannot set XCOMPOSEFILE");
    }
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        const std::string why = SDL_GetError();
        SDL_Quit();
        throw RunTimeError("cannot open the window", why);
    }
    if (driver == "x11") {
        ReportDisplayLoss();
    }
}

VideoSubsystem::~VideoSubsystem() {
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    SDL_Quit();
}

XWindowIds XWindowOf(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window, &info) != SDL_TRUE) {
        throw RunTimeError("cannot open the window", SDL_GetError());
    }
    if (info.subsystem != SDL_SYSWM_X11) {
        throw RunTimeError("cannot open the window", "SDL's video driver '" + std::string(SDL_GetCurrentVideoDriver()) +
                                                         "' is not X11, the only one this window runs on");
    }
    return {info.info.x11.display, info.info.x11.window};
}

}  // namespace platform::x11
