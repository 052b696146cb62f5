#include "platform/sdl/sdl_form.h"

#include "platform/run_time_error.h"

namespace platform::sdl {
namespace {

// While the window has nothing to show, WaitEvents sleeps this long at most
// before it looks again; short enough that a signal, which SDL turns into a
// quit event only when it next looks, is answered at once to a person.
constexpr int kIdleWaitMilliseconds = 50;

}  // namespace

SdlForm::SdlForm(const FormDesign& design)
    : window_(SDL_CreateWindow(design.Caption.c_str(), SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                               TwipsToPixels(design.ClientWidthTwips), TwipsToPixels(design.ClientHeightTwips),
                               SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE)),
      properties_(design) {
    if (!window_) {
        throw RunTimeError("cannot open the window", SDL_GetError());
    }
    FollowClientArea();
}

void SdlForm::Show() { showRequested_ = true; }

void SdlForm::WindowState(int state) {
    properties_.WindowState(state);
    stateRequested_ = true;
}

float SdlForm::ScaleWidth() const { return minimised_ ? 0.0F : static_cast<float>(image_.Width()); }

float SdlForm::ScaleHeight() const { return minimised_ ? 0.0F : static_cast<float>(image_.Height()); }

void SdlForm::Caption(std::string_view text) {
    // Only a changed title goes to the window manager.
    if (properties_.Caption(text)) {
        SDL_SetWindowTitle(window_.get(), properties_.Caption().c_str());
    }
}

void SdlForm::Line(float x1, float y1, float x2, float y2) {
    image_.Line(x1, y1, x2, y2, properties_.ForeColor(), properties_.DrawWidth());
}

void SdlForm::Circle(float x, float y, float radius) {
    image_.Circle(x, y, radius, properties_.ForeColor(), properties_.DrawWidth());
}

void SdlForm::DoEvents() {
    ApplyWindowRequests();
    Present();
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
        Handle(event);
    }
}

void SdlForm::WaitEvents() {
    // A timeout is not a failure: the caller looks at the window and waits again.
    SDL_WaitEventTimeout(nullptr, kIdleWaitMilliseconds);
    DoEvents();
}

// Show and WindowState reach the window system together, at the next
// DoEvents. A window that is to come up maximised is then mapped with the
// maximised state already set on it, which the window manager reads as it
// takes the window on; a request sent after mapping can be lost by a window
// manager that has not finished taking it on.
void SdlForm::ApplyWindowRequests() {
    if (!showRequested_) {
        return;
    }
    if (stateRequested_ || !mapped_) {
        switch (properties_.WindowState()) {
            case kWindowStateMaximised:
                SDL_MaximizeWindow(window_.get());
                break;
            case kWindowStateMinimised:
                SDL_MinimizeWindow(window_.get());
                break;
            default:
                SDL_RestoreWindow(window_.get());
                break;
        }
        stateRequested_ = false;
    }
    if (!mapped_) {
        SDL_ShowWindow(window_.get());
        mapped_ = true;
        FollowClientArea();
    }
}

void SdlForm::Present() {
    if (!mapped_ || minimised_ || image_.Pixels() == nullptr) {
        return;
    }
    SDL_Surface* target = SDL_GetWindowSurface(window_.get());
    if (target == nullptr) {
        throw RunTimeError("cannot show the window's image", SDL_GetError());
    }
    // SDL's view of the image's pixels; the image keeps them.
    const SurfaceHandle source(SDL_CreateRGBSurfaceWithFormatFrom(const_cast<std::uint8_t*>(image_.Pixels()),
                                                                  image_.Width(), image_.Height(), 32, image_.Stride(),
                                                                  SDL_PIXELFORMAT_RGB888));
    if (!source) {
        throw RunTimeError("cannot show the window's image", SDL_GetError());
    }
    if (SDL_BlitSurface(source.get(), nullptr, target, nullptr) != 0 || SDL_UpdateWindowSurface(window_.get()) != 0) {
        throw RunTimeError("cannot show the window's image", SDL_GetError());
    }
}

void SdlForm::Handle(const SDL_Event& event) {
    switch (event.type) {
        case SDL_MOUSEBUTTONDOWN:
            buttonDown_ = true;
            break;
        case SDL_MOUSEBUTTONUP:
            // A click is a press and a release inside the client area.
            if (buttonDown_) {
                buttonDown_ = false;
                Events().Click();
            }
            break;
        case SDL_WINDOWEVENT:
            HandleWindowEvent(event.window);
            break;
        case SDL_QUIT:
            // SDL's answer to SIGINT and SIGTERM: the program closes as if
            // its window had been closed.
            RaiseUnload(Events());
            break;
        default:
            break;
    }
}

void SdlForm::HandleWindowEvent(const SDL_WindowEvent& event) {
    switch (event.event) {
        case SDL_WINDOWEVENT_CLOSE:
            RaiseUnload(Events());
            break;
        case SDL_WINDOWEVENT_MINIMIZED:
            minimised_ = true;
            break;
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_MAXIMIZED:
            minimised_ = false;
            FollowClientArea();
            break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            FollowClientArea();
            break;
        default:
            break;
    }
}

void SdlForm::FollowClientArea() {
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(window_.get(), &width, &height);
    image_.Resize(width, height, properties_.BackColor());
}

FormEvents& SdlForm::Events() const {
    if (events_ == nullptr) {
        throw RunTimeError("cannot deliver a window event", "the form has no event handlers attached");
    }
    return *events_;
}

}  // namespace platform::sdl
