#include "platform/x11/x11_toplevel.h"

#include <algorithm>

#include "platform/form.h"
#include "platform/run_time_error.h"

namespace platform::x11 {
namespace {

using std::chrono::milliseconds;

// A window manager still taking over the screen can lose a map request;
// one that is asked again maps the window. Past the patience the program
// says so rather than wait for ever.
constexpr milliseconds kFirstMapWait(250);
constexpr milliseconds kLongestMapWait(1000);
constexpr milliseconds kMapPatience(10000);
// How long a maximise request has to show in the window's state, how often
// it is made, and how long the window manager may take to take the window on.
constexpr milliseconds kStateWait(500);
constexpr int kStateRequests = 4;
constexpr milliseconds kManagedPatience(1000);
constexpr milliseconds kManagedPoll(20);
// A window manager starting while the window is mapped can miss it for
// good: it looked for windows before it took over the screen. Watched for
// this long after mapping; a window manager that has not taken the window
// on this long after it appeared is given the window again, a few times:
// one that never says it took it on (no WM_STATE) leaves it as it is.
constexpr milliseconds kAdoptionWatch(10000);
constexpr milliseconds kAdoptionPoll(250);
constexpr milliseconds kAdoptionGrace(500);
constexpr int kMostWithdrawals = 3;

}  // namespace

X11Toplevel::X11Toplevel(const X11Connection& connection, xcb_window_t window)
    : connection_(connection), windowManager_(connection_, window), launch_(connection_, window), window_(window) {
    // The root's properties tell of the work area and of the window manager.
    const std::uint32_t rootEvents = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(connection_.Get(), connection_.Root(), XCB_CW_EVENT_MASK, &rootEvents);
}

void X11Toplevel::SizeNormally(PixelSize size) {
    normal_ = size;
    windowManager_.Resize(size.width, size.height);
    windowManager_.SizeNormally(size.width, size.height);
}

void X11Toplevel::WantState(int windowState) {
    wantedState_ = windowState;
    stateSettled_ = false;
    stateRequests_ = 0;
    nextStateRequest_ = {};
    sizeAtRequest_.reset();
    resizedSinceRequest_ = false;
}

void X11Toplevel::Step(Clock::time_point now) {
    if (visibilityChanged_) {
        ReadVisibility();
    }
    if (showWanted_) {
        if (!mapped_) {
            if (mapRequests_ == 0 || now >= nextMapRequest_) {
                RequestMap(now);
            }
        } else {
            if (WatchingAdoption(now) && now >= nextAdoptionCheck_) {
                CheckAdoption(now);
            }
            if (mapped_ && !stateSettled_ && now >= nextStateRequest_) {
                ApplyState(now);
            }
            if (workAreaChanged_) {
                RefitToWorkArea();
            }
        }
    }
}

std::optional<X11Toplevel::Clock::time_point> X11Toplevel::NextStep() const {
    if (visibilityChanged_) {
        return Clock::time_point{};
    }
    if (!showWanted_) {
        return std::nullopt;
    }
    if (!mapped_) {
        return nextMapRequest_;
    }
    std::optional<Clock::time_point> next;
    if (!stateSettled_) {
        next = nextStateRequest_;
    }
    if (WatchingAdoption(Clock::now())) {
        next = std::min(next.value_or(nextAdoptionCheck_), nextAdoptionCheck_);
    }
    return next;
}

void X11Toplevel::Notice(const xcb_generic_event_t& event, Clock::time_point now) {
    switch (EventKind(event)) {
        case XCB_MAP_NOTIFY:
            if (reinterpret_cast<const xcb_map_notify_event_t&>(event).window == window_) {
                if (!mapped_) {
                    mapped_ = true;
                    mappedAt_ = now;
                    launch_.End();
                }
                visibilityChanged_ = true;
            }
            break;
        case XCB_CONFIGURE_NOTIFY: {
            const auto& configure = reinterpret_cast<const xcb_configure_notify_event_t&>(event);
            if (configure.window == window_ && sizeAtRequest_ &&
                (configure.width != sizeAtRequest_->width || configure.height != sizeAtRequest_->height)) {
                resizedSinceRequest_ = true;
            }
            break;
        }
        case XCB_UNMAP_NOTIFY:
            visibilityChanged_ =
                visibilityChanged_ || reinterpret_cast<const xcb_unmap_notify_event_t&>(event).window == window_;
            break;
        case XCB_REPARENT_NOTIFY: {
            // A window manager that started after the window was mapped has
            // taken it on: what was settled without it is asked of it now.
            const auto& reparent = reinterpret_cast<const xcb_reparent_notify_event_t&>(event);
            if (reparent.window == window_ && reparent.parent != connection_.Root() && mapped_) {
                WantState(wantedState_);
            }
            break;
        }
        case XCB_PROPERTY_NOTIFY: {
            const auto& property = reinterpret_cast<const xcb_property_notify_event_t&>(event);
            if (property.window == connection_.Root() && windowManager_.TellsOfWorkArea(property.atom)) {
                workAreaChanged_ = true;
            }
            // A window manager that says what it offers only after the
            // window's state was settled without it is asked now.
            if (property.window == connection_.Root() && windowManager_.TellsOfItself(property.atom) && mapped_ &&
                stateSettled_ && wantedState_ == kWindowStateMaximised && !windowManager_.Maximised()) {
                WantState(wantedState_);
            }
            if (property.window == window_ && windowManager_.TellsOfWindowState(property.atom)) {
                visibilityChanged_ = true;
                // An answer to a state request is looked at now, not at its deadline.
                nextStateRequest_ = std::min(nextStateRequest_, now);
            }
            break;
        }
        default:
            break;
    }
}

void X11Toplevel::RequestMap(Clock::time_point now) {
    if (mapRequests_ == 0) {
        firstMapRequest_ = now;
    } else if (now - firstMapRequest_ >= kMapPatience) {
        throw RunTimeError("cannot show the window",
                           "the window manager did not map it within " +
                               std::to_string(std::chrono::duration_cast<std::chrono::seconds>(kMapPatience).count()) +
                               " s of asking " + std::to_string(mapRequests_) + " times");
    }
    // Where the window manager has a maximised state, the window carries it
    // when it is mapped, so that it first appears maximised; where it has
    // none, the window is to fill the work area from its corner, and needs
    // no place of its own.
    if (mapRequests_ == 0 && windowManager_.OffersMaximised()) {
        startedMaximised_ = wantedState_ == kWindowStateMaximised;
        windowManager_.StartMaximised(startedMaximised_);
    } else if (mapRequests_ == 0) {
        windowManager_.KeepPlace();
    }
    xcb_map_window(connection_.Get(), window_);
    nextMapRequest_ = now + std::min(kLongestMapWait, kFirstMapWait * (1 << std::min(mapRequests_, 4)));
    ++mapRequests_;
}

// Gives the window to the window manager again if one runs but has not
// taken the window on: withdrawn and mapped anew, the window comes to it
// as a map request.
void X11Toplevel::CheckAdoption(Clock::time_point now) {
    nextAdoptionCheck_ = now + kAdoptionPoll;
    managed_ = windowManager_.Manages();
    if (managed_ || !windowManager_.Running()) {
        windowManagerSeen_.reset();
        return;
    }
    if (!windowManagerSeen_) {
        windowManagerSeen_ = now;
        return;
    }
    if (now - *windowManagerSeen_ < kAdoptionGrace) {
        return;
    }
    windowManager_.Withdraw();
    ++withdrawals_;
    windowManagerSeen_.reset();
    mapped_ = false;
    mapRequests_ = 0;
    WantState(wantedState_);
}

bool X11Toplevel::WatchingAdoption(Clock::time_point now) const {
    return !managed_ && withdrawals_ < kMostWithdrawals && now - mappedAt_ < kAdoptionWatch;
}

void X11Toplevel::ApplyState(Clock::time_point now) {
    switch (wantedState_) {
        case kWindowStateMaximised:
            stateSettled_ = Maximise(now);
            break;
        case kWindowStateMinimised:
            windowManager_.AskIconic();
            stateSettled_ = true;
            break;
        default:
            if (windowManager_.Maximised()) {
                windowManager_.AskMaximised(false);
            }
            stateSettled_ = true;
            break;
    }
}

// Moves the maximising on; true once there is nothing more to ask.
bool X11Toplevel::Maximise(Clock::time_point now) {
    // Done; or the window manager answered with another size, or the user
    // changed it since: the request is not made again.
    if (windowManager_.Maximised() || resizedSinceRequest_) {
        return true;
    }
    // A window manager says what it offers by the time it takes the
    // window on; one still starting may not have said it yet.
    if (windowManager_.Running() && !windowManager_.Manages() && now - mappedAt_ < kManagedPatience) {
        nextStateRequest_ = now + kManagedPoll;
        return false;
    }
    if (!windowManager_.OffersMaximised()) {
        windowManager_.FillWorkArea();
        return true;
    }
    if (stateRequests_ > 0 && now < lastStateRequest_ + kStateWait) {
        nextStateRequest_ = lastStateRequest_ + kStateWait;
        return false;
    }
    // A tiling window manager keeps the window in its tile.
    if (stateRequests_ >= kStateRequests) {
        return true;
    }
    windowManager_.AskMaximised(true);
    ++stateRequests_;
    lastStateRequest_ = now;
    nextStateRequest_ = now + kStateWait;
    sizeAtRequest_ = connection_.GeometryOf(window_);
    resizedSinceRequest_ = false;
    return false;
}

// Seen: mapped with every ancestor, and neither minimised nor hidden by the
// window manager, whichever order it told of these in.
void X11Toplevel::ReadVisibility() {
    visibilityChanged_ = false;
    const X11WindowManager::State state = windowManager_.WindowState();
    managed_ = managed_ || state != X11WindowManager::State::Withdrawn;
    FollowRestore();
    visible_ = connection_.Viewable(window_) && state != X11WindowManager::State::Iconic && !windowManager_.Hidden();
}

// A window manager that took the window on maximised may know no normal
// size to restore it to (icewm keeps the maximised one): the first time it
// is seen not maximised (restored, or never maximised by a window manager
// that ignored the state), it is given the normal size.
void X11Toplevel::FollowRestore() {
    if (startedMaximised_ && managed_ && !windowManager_.Maximised()) {
        startedMaximised_ = false;
        windowManager_.Resize(normal_.width, normal_.height);
    }
}

// A window manager that maximised the window before its panel took its
// room (icewm, started with the program) leaves the window under the
// panel: asked again, it maximises the window over the work area as it is.
void X11Toplevel::RefitToWorkArea() {
    workAreaChanged_ = false;
    if (wantedState_ == kWindowStateMaximised && windowManager_.Maximised() && !windowManager_.FitsWorkArea()) {
        windowManager_.AskMaximised(false);
        windowManager_.AskMaximised(true);
    }
}

}  // namespace platform::x11
