#pragma once

#include <xcb/xcb.h>

#include <chrono>
#include <optional>

#include "platform/image/pixel_rect.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_launch.h"
#include "platform/x11/x11_window_manager.h"

namespace platform::x11 {

// The program's window as the window manager sees it: asks for it to be
// mapped and put in the state the program wants, in a way that survives a
// window manager that is still starting or loses a request, and tells
// whether the window can be seen now.
//
// Requests are made only once the window is mapped and the window manager
// has taken it on, and checked: a map or maximise that is not answered in
// time is asked for again, and a window manager that started without
// taking the window on is given it again. Where the window manager has no
// maximised state (or there is none), the window sizes itself to the work
// area. It is told of every event that comes for the window.
class X11Toplevel {
public:
    using Clock = std::chrono::steady_clock;

    X11Toplevel(const X11Connection& connection, xcb_window_t window);

    // The client area in the normal state: the window's size until it is
    // maximised, and the window manager's to restore it to.
    void SizeNormally(PixelSize size);
    // The program wants the window shown, and in this window state.
    void Show() { showWanted_ = true; }
    void WantState(int windowState);

    // Takes in what the window system said of the window.
    void Notice(const xcb_generic_event_t& event, Clock::time_point now);
    // Makes the requests still due and asks again what was not answered in
    // time. Throws a run-time error when the window is not shown in time.
    void Step(Clock::time_point now);
    // When Step next has something to do without an event coming first.
    [[nodiscard]] std::optional<Clock::time_point> NextStep() const;

    // The window can be seen: mapped, and neither minimised nor hidden.
    [[nodiscard]] bool Visible() const { return visible_; }
    [[nodiscard]] const X11WindowManager& WindowManager() const { return windowManager_; }

private:
    void RequestMap(Clock::time_point now);
    void CheckAdoption(Clock::time_point now);
    [[nodiscard]] bool WatchingAdoption(Clock::time_point now) const;
    void ApplyState(Clock::time_point now);
    bool Maximise(Clock::time_point now);
    void ReadVisibility();
    void FollowRestore();
    void RefitToWorkArea();

    const X11Connection& connection_;
    X11WindowManager windowManager_;
    X11Launch launch_;
    xcb_window_t window_;

    bool showWanted_ = false;
    int wantedState_ = 0;

    // Mapping: asked for `mapRequests_` times, first at `firstMapRequest_`.
    int mapRequests_ = 0;
    Clock::time_point firstMapRequest_;
    Clock::time_point nextMapRequest_;
    bool mapped_ = false;  // the window system has mapped it since it was last asked to
    Clock::time_point mappedAt_;
    // Taken on by a window manager (WM_STATE); while not, when one was
    // first seen running.
    bool managed_ = false;
    std::optional<Clock::time_point> windowManagerSeen_;
    Clock::time_point nextAdoptionCheck_;
    int withdrawals_ = 0;

    // The window state: settled once it holds or there is nothing more to ask.
    bool stateSettled_ = true;
    int stateRequests_ = 0;
    Clock::time_point lastStateRequest_;
    Clock::time_point nextStateRequest_;
    // The window's size when the last request was made, and whether it has
    // changed since: a window manager that resized the window has answered.
    std::optional<X11Connection::Geometry> sizeAtRequest_;
    bool resizedSinceRequest_ = false;

    // The work area changed (a panel came or went) since it was last looked at.
    bool workAreaChanged_ = false;

    bool visibilityChanged_ = true;
    bool visible_ = false;

    // Mapped in the maximised state, and not seen out of it since.
    PixelSize normal_;
    bool startedMaximised_ = false;
};

}  // namespace platform::x11
