#pragma once

#include <SDL.h>

#include <memory>

namespace platform::sdl {

// SDL's video subsystem, initialised for as long as this lives.
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

struct SurfaceDeleter {
    void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};
using SurfaceHandle = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

// A surface's pixels held for direct access, for as long as this lives.
class SurfaceLock {
public:
    explicit SurfaceLock(SDL_Surface* surface);
    ~SurfaceLock();
    SurfaceLock(const SurfaceLock&) = delete;
    SurfaceLock& operator=(const SurfaceLock&) = delete;

private:
    SDL_Surface* surface_;
};

}  // namespace platform::sdl
