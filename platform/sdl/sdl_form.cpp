#include "platform/sdl/sdl_form.h"

#include <poll.h>

#include <algorithm>
#include <array>

#include "platform/run_time_error.h"
#include "platform/sdl/x11_resources.h"

namespace platform::sdl {
namespace {

// Sleeping with nothing to show, the form still looks round this often.
constexpr auto kLongestRest = std::chrono::milliseconds(1000);

// How often the window's display refreshes, 0 when it does not say.
int RefreshRate(SDL_Window* window) {
    SDL_DisplayMode mode{};
    const int display = SDL_GetWindowDisplayIndex(window);
    if (display < 0 || SDL_GetCurrentDisplayMode(display, &mode) != 0) {
        return 0;
    }
    return mode.refresh_rate;
}

WindowHandle CreateWindow(const FormDesign& design) {
    WindowHandle window(SDL_CreateWindow(design.Caption.c_str(), SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                                         TwipsToPixels(design.ClientWidthTwips),
                                         TwipsToPixels(design.ClientHeightTwips),
                                         SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE));
    if (!window) {
        throw RunTimeError("cannot open the window", SDL_GetError());
    }
    return window;
}

}  // namespace

SdlForm::SdlForm(const FormDesign& design, TerminationSignals& signals)
    : ImageForm(design),
      signals_(signals),
      window_(CreateWindow(design)),
      x11_(X11WindowOf(window_.get())),
      title_(design.Caption, TitleThrottle::IntervalForRefreshRate(RefreshRate(window_.get()))),
      toplevel_(DisplayString(x11_.display), static_cast<xcb_window_t>(x11_.window)),
      presenter_(x11_.display, x11_.window) {
    // The client area in its normal state is given in twips: as many pixels
    // as the desktop's scale makes of them.
    const double dotsPerInch = DesktopDotsPerInch(x11_.display);
    SDL_SetWindowSize(window_.get(), TwipsToPixels(design.ClientWidthTwips, dotsPerInch),
                      TwipsToPixels(design.ClientHeightTwips, dotsPerInch));
    // The window is mapped through another connection: what SDL asked of
    // it comes first.
    XSync(x11_.display, False);
    FollowClientArea();
}

void SdlForm::Show() { toplevel_.Show(); }

void SdlForm::WindowState(int state) {
    MutableProperties().WindowState(state);
    toplevel_.WantState(state);
}

float SdlForm::ScaleWidth() const { return toplevel_.Viewable() ? static_cast<float>(Image().Width()) : 0.0F; }

float SdlForm::ScaleHeight() const { return toplevel_.Viewable() ? static_cast<float>(Image().Height()) : 0.0F; }

void SdlForm::Caption(std::string_view text) { MutableProperties().Caption(text); }

void SdlForm::DoEvents() {
    Present();
    SendTitle();
    // The window's events that came in while the form waited on replies of
    // its own lie in XCB's queue, where SDL does not look: hand them to Xlib's.
    (void)XEventsQueued(x11_.display, QueuedAfterReading);
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
        Handle(event);
    }
    if (signals_.Arrived()) {
        RaiseUnload(Events());
    }
    const bool wasViewable = toplevel_.Viewable();
    toplevel_.Step(X11Toplevel::Clock::now());
    if (toplevel_.Viewable() && !wasViewable) {
        exposed_ = true;
        FollowClientArea();
    }
}

// Sleeps until the window system or a signal has something for the form,
// or the window manager's answer is due.
void SdlForm::WaitEvents() {
    if (SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 0 && XPending(x11_.display) == 0) {
        const auto now = X11Toplevel::Clock::now();
        const auto wake = std::min(toplevel_.NextStep().value_or(now + kLongestRest), now + kLongestRest);
        const auto timeout = std::chrono::duration_cast<std::chrono::milliseconds>(wake - now).count();
        std::array<pollfd, 3> sources{pollfd{ConnectionNumber(x11_.display), POLLIN, 0},
                                      pollfd{toplevel_.Descriptor(), POLLIN, 0},
                                      pollfd{signals_.Descriptor(), POLLIN, 0}};
        // An interrupted or failed wait is only a shorter one: the caller looks again.
        (void)poll(sources.data(), sources.size(), static_cast<int>(std::max<long long>(0, timeout)));
    }
    DoEvents();
}

// Shows the last frame, sending only what changed since the one before.
void SdlForm::Present() {
    if (!toplevel_.Viewable()) {
        return;
    }
    presenter_.Show(MutableImage(), exposed_);
    exposed_ = false;
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
            // The window's close, told once more as the last window's.
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
