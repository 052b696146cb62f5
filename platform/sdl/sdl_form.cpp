#include "platform/sdl/sdl_form.h"

#include "platform/image/tile_copy.h"
#include "platform/run_time_error.h"

namespace platform::sdl {
namespace {

// While the window has nothing to show, WaitEvents sleeps this long at most
// before it looks again; short enough that a signal, which SDL turns into a
// quit event only when it next looks, is answered at once to a person.
constexpr int kIdleWaitMilliseconds = 50;

// How often the window's display refreshes, 0 when it does not say.
int RefreshRate(SDL_Window* window) {
    SDL_DisplayMode mode{};
    const int display = SDL_GetWindowDisplayIndex(window);
    if (display < 0 || SDL_GetCurrentDisplayMode(display, &mode) != 0) {
        return 0;
    }
    return mode.refresh_rate;
}

}  // namespace

SdlForm::SdlForm(const FormDesign& design)
    : ImageForm(design),
      window_(SDL_CreateWindow(design.Caption.c_str(), SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                               TwipsToPixels(design.ClientWidthTwips), TwipsToPixels(design.ClientHeightTwips),
                               SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE)),
      title_(design.Caption, TitleThrottle::IntervalForRefreshRate(window_ ? RefreshRate(window_.get()) : 0)) {
    if (!window_) {
        throw RunTimeError("cannot open the window", SDL_GetError());
    }
    FollowClientArea();
}

void SdlForm::Show() { showRequested_ = true; }

void SdlForm::WindowState(int state) {
    MutableProperties().WindowState(state);
    stateRequested_ = true;
}

float SdlForm::ScaleWidth() const { return minimised_ ? 0.0F : static_cast<float>(Image().Width()); }

float SdlForm::ScaleHeight() const { return minimised_ ? 0.0F : static_cast<float>(Image().Height()); }

void SdlForm::Caption(std::string_view text) { MutableProperties().Caption(text); }

void SdlForm::DoEvents() {
    ApplyWindowRequests();
    Present();
    SendTitle();
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
        switch (Properties().WindowState()) {
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
        // The window manager sizes the window as it maps it; taking in its
        // word now lets the first frame be drawn at the size it is shown at.
        SDL_PumpEvents();
        FollowClientArea();
    }
}

// Copies what changed since the last frame, and only that, to the window
// surface, and sends only those parts to the display.
void SdlForm::Present() {
    if (!mapped_ || minimised_ || Image().Pixels() == nullptr) {
        return;
    }
    SDL_Surface* target = SDL_GetWindowSurface(window_.get());
    if (target == nullptr) {
        throw RunTimeError("cannot show the window's image", SDL_GetError());
    }
    // A new surface, or one the display lost, holds nothing of ours yet.
    const bool fresh = target != shownSurface_ || exposed_;
    if (fresh) {
        MutableImage().MarkAllChanged();
        shownSurface_ = target;
        exposed_ = false;
    }
    const std::vector<PixelRect> changes = MutableImage().TakeChanges();
    if (changes.empty()) {
        return;
    }
    const std::vector<SDL_Rect> sent =
        SameLayout(*target) ? CopyDirectly(*target, changes, fresh) : Blit(*target, changes);
    if (!sent.empty() && SDL_UpdateWindowSurfaceRects(window_.get(), sent.data(), static_cast<int>(sent.size())) != 0) {
        throw RunTimeError("cannot show the window's image", SDL_GetError());
    }
}

// The window surface has the image's pixel layout and size: pixels can be
// copied as they are (which is what SDL's X11 surface gives).
bool SdlForm::SameLayout(const SDL_Surface& target) const {
    return target.format->format == SDL_PIXELFORMAT_RGB888 && target.w == Image().Width() &&
           target.h == Image().Height();
}

// Copies the changed parts row by row; on a surface that showed the last
// frame, only the tiles whose pixels differ, so that what was drawn again
// the same is not sent again.
std::vector<SDL_Rect> SdlForm::CopyDirectly(SDL_Surface& target, const std::vector<PixelRect>& changes, bool fresh) {
    const SurfaceLock lock(&target);
    const PixelRows from = Image().Rows();
    const PixelRows to{static_cast<std::uint8_t*>(target.pixels), target.w, target.h, target.pitch};
    std::vector<PixelRect> copied;
    if (fresh) {
        CopyRects(from, to, changes);
        copied = changes;
    } else {
        copied = CopyDifferingTiles(from, to, changes);
    }
    std::vector<SDL_Rect> rects;
    rects.reserve(copied.size());
    for (const PixelRect& rect : copied) {
        rects.push_back({rect.x, rect.y, rect.width, rect.height});
    }
    return rects;
}

// Any other surface: SDL converts the pixels, and clips to the surface.
std::vector<SDL_Rect> SdlForm::Blit(SDL_Surface& target, const std::vector<PixelRect>& changes) {
    // SDL's view of the image's pixels; the image keeps them.
    const SurfaceHandle source(SDL_CreateRGBSurfaceWithFormatFrom(const_cast<std::uint8_t*>(Image().Pixels()),
                                                                  Image().Width(), Image().Height(), 32,
                                                                  Image().Stride(), SDL_PIXELFORMAT_RGB888));
    if (!source) {
        throw RunTimeError("cannot show the window's image", SDL_GetError());
    }
    std::vector<SDL_Rect> rects;
    for (const PixelRect& change : changes) {
        SDL_Rect rect{change.x, change.y, change.width, change.height};
        if (SDL_BlitSurface(source.get(), &rect, &target, &rect) != 0) {
            throw RunTimeError("cannot show the window's image", SDL_GetError());
        }
        // The blit clips the rectangle to the surface: send what it copied.
        if (rect.w > 0 && rect.h > 0) {
            rects.push_back(rect);
        }
    }
    return rects;
}

// Only a changed title goes to the window manager, and not more often than
// the display refreshes.
void SdlForm::SendTitle() {
    if (const auto title = title_.Due(Properties().Caption(), TitleThrottle::Clock::now())) {
        SDL_SetWindowTitle(window_.get(), title->c_str());
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
            exposed_ = true;
            FollowClientArea();
            break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            FollowClientArea();
            break;
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SHOWN:
            exposed_ = true;
            break;
        default:
            break;
    }
}

void SdlForm::FollowClientArea() {
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(window_.get(), &width, &height);
    ResizeImage(width, height);
}

}  // namespace platform::sdl
