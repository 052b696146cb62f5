#pragma once

#include <X11/Xlib.h>

#include <chrono>
#include <optional>

namespace platform::sdl {

// The program's window as the window manager sees it: asks for it to be
// mapped and put in the state the program wants, in a way that survives a
// window manager that is still starting or loses a request, and tells
// whether the window can be seen now.
//
// Requests are made only once the window is mapped and the window manager
// has taken it on, and checked: a map or maximise that is not answered in
// time is asked for again. Where the window manager has no maximised state
// (or there is none), the window sizes itself to the work area.
class X11Toplevel {
public:
    using Clock = std::chrono::steady_clock;

    X11Toplevel(Display* display, ::Window window);

    // The program wants the window shown, and in this window state.
    void Show() { showWanted_ = true; }
    void WantState(int windowState);

    // Takes in an event the window system sent about the window.
    void Notice(const XEvent& event);
    // Makes the requests still due and asks again what was not answered in
    // time. Throws a run-time error when the window is not shown in time.
    void Step(Clock::time_point now);
    // When Step next has something to do without an event coming first.
    [[nodiscard]] std::optional<Clock::time_point> NextStep() const;

    // The window is on the screen: mapped, and not minimised.
    [[nodiscard]] bool Viewable() const { return viewable_; }

private:
    struct Atoms {
        Atom wmState;
        Atom netWmState;
        Atom maximisedVert;
        Atom maximisedHorz;
        Atom hidden;
        Atom netSupported;
        Atom netSupportingWmCheck;
        Atom netWorkarea;
        Atom netCurrentDesktop;
        Atom netFrameExtents;
    };

    void RequestMap(Clock::time_point now);
    void ApplyState(Clock::time_point now);
    void ReadVisibility();
    [[nodiscard]] bool Managed() const;
    [[nodiscard]] bool HasNetState(Atom state) const;
    [[nodiscard]] bool Maximised() const;
    [[nodiscard]] bool WindowManagerOffersMaximised() const;
    void SendNetState(bool add);
    void FillWorkArea();

    Display* display_;
    ::Window window_;
    Atoms atoms_{};

    bool showWanted_ = false;
    int wantedState_ = 0;

    // Mapping: asked for `mapRequests_` times, first at `firstMapRequest_`.
    int mapRequests_ = 0;
    Clock::time_point firstMapRequest_;
    Clock::time_point nextMapRequest_;
    bool mapped_ = false;  // the window system has mapped it at least once
    Clock::time_point mappedAt_;

    // The window state: settled once it holds or there is nothing more to ask.
    bool stateSettled_ = true;
    int stateRequests_ = 0;
    Clock::time_point nextStateRequest_;

    bool visibilityChanged_ = true;
    bool viewable_ = false;
};

}  // namespace platform::sdl
