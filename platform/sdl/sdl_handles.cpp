#include "platform/sdl/sdl_handles.h"

#include <cstdlib>
#include <string>

#include "platform/run_time_error.h"
#include "platform/sdl/display_loss.h"
#include "platform/sdl/x_display_probe.h"

namespace platform::sdl {
namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

}  // namespace

VideoSubsystem::VideoSubsystem() {
    // Only a desktop display will do: SDL's fallbacks draw to nowhere and
    // would leave the program running without a window. A driver the user
    // names in SDL_VIDEODRIVER still wins.
    std::string driver = Environment("SDL_VIDEODRIVER");
    if (driver.empty()) {
        const bool waylandOnly = Environment("DISPLAY").empty() && !Environment("WAYLAND_DISPLAY").empty();
        driver = waylandOnly ? "wayland" : "x11";
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
    // The window surface goes to the display through shared memory. SDL's
    // default on X11 routes it through a renderer and a texture, which
    // costs several times as much per frame (see BENCHMARKS.md).
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
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

SurfaceLock::SurfaceLock(SDL_Surface* surface) : surface_(SDL_MUSTLOCK(surface) ? surface : nullptr) {
    if (surface_ != nullptr && SDL_LockSurface(surface_) != 0) {
        throw RunTimeError("cannot reach the window's pixels", SDL_GetError());
    }
}

SurfaceLock::~SurfaceLock() {
    if (surface_ != nullptr) {
        SDL_UnlockSurface(surface_);
    }
}

}  // namespace platform::sdl
