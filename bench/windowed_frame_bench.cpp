// One windowed run: a fixed number of frames in a real SDL window, in one of
// four ways, printing frames per second. bench/windowed_bench.sh starts the
// display, interleaves the ways and compares them.
//
//   program          the program's own Form1 in the X11 window (through SDL)
//   program-wayland  the same in the native Wayland window
//   plain-default    cairo over SDL's window surface as SDL gives it, the
//                    whole surface updated and the title set every frame
//   plain-shm        the same on SDL's plain shared-memory surface
//   plain-start      plain-shm without waiting for the window to settle, for
//                    bench/session_bench.cpp's start-up comparison
//   floor            clearing the whole window surface and presenting all
//                    of it, nothing drawn

#include <SDL.h>
#include <cairo.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "app/form1.h"
#include "bench/frame_counter.h"
#include "bench/plain_figure.h"
#include "geometry/ratio_caption.h"
#include "platform/form/form_runtime.h"
#include "platform/process/termination_signals.h"
#include "platform/wayland/wayland_window.h"
#include "platform/window/window_form.h"
#include "platform/x11/x11_window.h"
#include "tests/support/cairo_image.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kWidth = 1920;
// What window managers take of the width around a maximised window: 20 pixels
// under mutter.
constexpr int kBorders = 32;
constexpr int kHeight = 1080;

template <typename NativeWindow>
double RunProgram(long frames) {
    auto signals = std::make_unique<platform::TerminationSignals>();
    platform::WindowForm form(app::Form1::Design(), std::make_unique<NativeWindow>(), std::move(signals));
    // Timing starts with the first frame drawn at the full width, less
    // what a window manager's border takes: the window is maximised.
    FrameCounter counter(form, frames, [](float width) { return width >= kWidth - kBorders; });
    app::Form1 form1(counter, ".");
    if (const auto error = platform::RunForm(counter, form1)) {
        std::fprintf(stderr, "%s\n", error->c_str());
        std::exit(1);
    }
    return counter.FramesPerSecond();
}

struct SdlVideo {
    SdlVideo() {
        if (SDL_Init(SDL_INIT_VIDEO) != 0) {
            std::fprintf(stderr, "SDL_Init: %s\n", SDL_GetError());
            std::exit(1);
        }
    }
    ~SdlVideo() { SDL_Quit(); }
    SdlVideo(const SdlVideo&) = delete;
    SdlVideo& operator=(const SdlVideo&) = delete;
};

using Window = std::unique_ptr<SDL_Window, decltype(&SDL_DestroyWindow)>;

// A maximised-size window shown and, unless the loop is to start at once,
// settled, for the plain loops.
Window OpenWindow(bool settle) {
    Window window(SDL_CreateWindow("bench", 0, 0, kWidth, kHeight, SDL_WINDOW_SHOWN | SDL_WINDOW_BORDERLESS),
                  SDL_DestroyWindow);
    if (!window) {
        std::fprintf(stderr, "SDL_CreateWindow: %s\n", SDL_GetError());
        std::exit(1);
    }
    for (int i = 0; settle && i < 20; ++i) {
        SDL_PumpEvents();
        SDL_Delay(10);
    }
    return window;
}

double RunPlain(long frames, bool drawFigure, bool settle = true) {
    const SdlVideo video;
    const Window window = OpenWindow(settle);
    SDL_Surface* surface = SDL_GetWindowSurface(window.get());
    if (surface == nullptr) {
        std::fprintf(stderr, "SDL_GetWindowSurface: %s\n", SDL_GetError());
        std::exit(1);
    }
    const CairoImage target(static_cast<unsigned char*>(surface->pixels), surface->w, surface->h, surface->pitch);
    const auto start = Clock::now();
    for (long frame = 1; frame <= frames; ++frame) {
        SDL_Event event;
        while (SDL_PollEvent(&event) != 0) {
        }
        if (!drawFigure) {
            SDL_FillRect(surface, nullptr, 0);
            SDL_UpdateWindowSurface(window.get());
            continue;
        }
        const double ratio = StrokePlainFrame(target.context.get(), surface->w, surface->h, frame);
        cairo_surface_flush(target.surface.get());
        SDL_SetWindowTitle(window.get(), geometry::RatioCaption(ratio, ".").c_str());
        SDL_UpdateWindowSurface(window.get());
    }
    return static_cast<double>(frames) / std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr,
                     "usage: pentagram_windowed_bench "
                     "program|program-wayland|plain-default|plain-shm|plain-start|floor FRAMES\n");
        return 2;
    }
    const std::string mode = argv[1];
    const long frames = std::stol(argv[2]);
    double fps = 0;
    if (mode == "program") {
        fps = RunProgram<platform::x11::X11Window>(frames);
    } else if (mode == "program-wayland") {
        fps = RunProgram<platform::wayland::WaylandWindow>(frames);
    } else if (mode == "plain-default") {
        fps = RunPlain(frames, true);
    } else if (mode == "plain-shm") {
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        fps = RunPlain(frames, true);
    } else if (mode == "plain-start") {
        // The straightforward loop from its start, for the start-up comparison.
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        fps = RunPlain(frames, true, false);
    } else if (mode == "floor") {
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        fps = RunPlain(frames, false);
    } else {
        std::fprintf(stderr, "unknown mode %s\n", mode.c_str());
        return 2;
    }
    std::printf("%.1f\n", fps);
    return 0;
}
