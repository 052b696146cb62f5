#pragma once

#include <SDL.h>
#include <X11/Xlib.h>

#include <memory>

namespace platform::x11 {

// SDL's video subsystem on X11, initialised for as long as this lives.
class VideoSubsystem {
public:
    VideoSubsystem();
    ~VideoSubsystem();
    VideoSubsystem(const VideoSubsystem&) = delete;
    VideoSubsystem& operator=(const VideoSubsystem&) = delete;
};

struct WindowDeleter {
    void operator()(SDL_Window* window) const { SDL_DestroyWindow(window); }
};
using WindowHandle = std::unique_ptr<SDL_Window, WindowDeleter>;

// The X display connection and window behind an SDL window; SDL owns both.
struct XWindowIds {
    Display* display = nullptr;
    ::Window window = 0;
};

// Throws a run-time error when the window is not an X11 window.
[[nodiscard]] XWindowIds XWindowOf(SDL_Window* window);

}  // namespace platform::x11
