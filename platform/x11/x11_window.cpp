#include "platform/x11/x11_window.h"

#include <poll.h>

#include <algorithm>
#include <array>

#include "platform/form/form_properties.h"
#include "platform/run_time_error.h"
#include "platform/x11/x11_resources.h"

namespace platform::x11 {
namespace {

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

X11Window::X11Window(const FormDesign& design, TerminationSignals& signals)
    : signals_(signals),
      window_(CreateWindow(design)),
      ids_(XWindowOf(window_.get())),
      toplevel_(DisplayString(ids_.display), static_cast<xcb_window_t>(ids_.window)),
      presenter_(ids_.display, ids_.window) {
    // The client area in its normal state is given in twips: as many pixels
    // as the desktop's scale makes of them.
    const double dotsPerInch = DesktopDotsPerInch(ids_.display);
    SDL_SetWindowSize(window_.get(), TwipsToPixels(design.ClientWidthTwips, dotsPerInch),
                      TwipsToPixels(design.ClientHeightTwips, dotsPerInch));
    // The window is mapped through another connection: what SDL asked of
    // it comes first.
    XSync(ids_.display, False);
}

bool X11Window::Send(const std::vector<PixelRect>& rects) {
    presenter_.Send(rects);
    return true;
}

// The toplevel holds the requests back until the window manager can take them.
bool X11Window::Show(int windowState) {
    toplevel_.Show();
    toplevel_.WantState(windowState);
    return true;
}

PixelSize X11Window::ClientSize() const {
    PixelSize size;
    SDL_GetWindowSize(window_.get(), &size.width, &size.height);
    return size;
}

void X11Window::Dispatch() {
    // The window's events that came in while the toplevel waited on replies
    // of its own lie in XCB's queue, where SDL does not look: hand them to Xlib's.
    (void)XEventsQueued(ids_.display, QueuedAfterReading);
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0) {
        Handle(event);
    }
    if (signals_.Arrived()) {
        Events().CloseRequested();
    }
    toplevel_.Step(X11Toplevel::Clock::now());
}

// Sleeps until the window system or a signal has something for the window,
// or the window manager's answer is due.
void X11Window::Wait(Clock::duration longest) {
    if (SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) != 0 || XPending(ids_.display) != 0) {
        return;
    }
    const auto now = Clock::now();
    const auto wake = std::min(toplevel_.NextStep().value_or(now + longest), now + longest);
    const auto timeout = std::chrono::duration_cast<std::chrono::milliseconds>(wake - now).count();
    std::array<pollfd, 3> sources{pollfd{ConnectionNumber(ids_.display), POLLIN, 0},
                                  pollfd{toplevel_.Descriptor(), POLLIN, 0}, pollfd{signals_.Descriptor(), POLLIN, 0}};
    // An interrupted or failed wait is only a shorter one: the caller looks again.
    (void)poll(sources.data(), sources.size(), static_cast<int>(std::max<long long>(0, timeout)));
}

int X11Window::RefreshRate() const {
    SDL_DisplayMode mode{};
    const int display = SDL_GetWindowDisplayIndex(window_.get());
    if (display < 0 || SDL_GetCurrentDisplayMode(display, &mode) != 0) {
        return 0;
    }
    return mode.refresh_rate;
}

void X11Window::Handle(const SDL_Event& event) {
    switch (event.type) {
        case SDL_MOUSEBUTTONDOWN:
            Events().Pressed(Inside(event.button.x, event.button.y));
            break;
        case SDL_MOUSEBUTTONUP:
            Events().Released(Inside(event.button.x, event.button.y));
            break;
        case SDL_WINDOWEVENT:
            switch (event.window.event) {
                case SDL_WINDOWEVENT_CLOSE:
                    Events().CloseRequested();
                    break;
                case SDL_WINDOWEVENT_SIZE_CHANGED:
                    Events().Resized();
                    break;
                case SDL_WINDOWEVENT_EXPOSED:
                case SDL_WINDOWEVENT_SHOWN:
                    Events().Exposed();
                    break;
                default:
                    break;
            }
            break;
        case SDL_QUIT:
            // The window's close, told once more as the last window's.
            Events().CloseRequested();
            break;
        default:
            break;
    }
}

bool X11Window::Inside(int x, int y) const {
    const PixelSize size = ClientSize();
    return x >= 0 && y >= 0 && x < size.width && y < size.height;
}

}  // namespace platform::x11
