#include "platform/sdl/x11_toplevel.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "platform/form.h"
#include "platform/run_time_error.h"

namespace platform::sdl {
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
// on this long after it appeared is given the window again.
constexpr milliseconds kAdoptionWatch(10000);
constexpr milliseconds kAdoptionPoll(250);
constexpr milliseconds kAdoptionGrace(500);

// ICCCM's and EWMH's numbers.
constexpr std::uint32_t kWithdrawnState = 0;
constexpr std::uint32_t kIconicState = 3;
constexpr std::uint32_t kNetStateRemove = 0;
constexpr std::uint32_t kNetStateAdd = 1;
constexpr std::uint32_t kSourceApplication = 1;
constexpr std::uint32_t kWinGravityGiven = 1U << 9;
constexpr std::size_t kWinGravityItem = 17;
constexpr std::uint32_t kStaticGravity = 10;

bool Contains(const std::vector<std::uint32_t>& items, xcb_atom_t atom) {
    return std::find(items.begin(), items.end(), atom) != items.end();
}

}  // namespace

X11Toplevel::X11Toplevel(const std::string& displayName, xcb_window_t window)
    : connection_(displayName), window_(window) {
    const auto atoms = connection_.Atoms(std::array<const char*, 10>{
        "WM_STATE", "WM_CHANGE_STATE", "_NET_WM_STATE", "_NET_WM_STATE_MAXIMIZED_VERT", "_NET_WM_STATE_MAXIMIZED_HORZ",
        "_NET_WM_STATE_HIDDEN", "_NET_SUPPORTED", "_NET_SUPPORTING_WM_CHECK", "_NET_WORKAREA", "_NET_CURRENT_DESKTOP"});
    atoms_ = {atoms[0], atoms[1], atoms[2], atoms[3], atoms[4], atoms[5], atoms[6], atoms[7], atoms[8], atoms[9]};
    const std::uint32_t events = XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(connection_.Get(), window_, XCB_CW_EVENT_MASK, &events);
    // The root's properties tell of the work area; this connection's
    // selection on the root is its own, apart from SDL's.
    const std::uint32_t rootEvents = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(connection_.Get(), connection_.Root(), XCB_CW_EVENT_MASK, &rootEvents);
    connection_.Flush();
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
    TakeInEvents(now);
    if (visibilityChanged_) {
        ReadVisibility();
    }
    if (showWanted_) {
        if (!mapped_) {
            if (mapRequests_ == 0 || now >= nextMapRequest_) {
                RequestMap(now);
            }
        } else {
            if (!managed_ && now - mappedAt_ < kAdoptionWatch && now >= nextAdoptionCheck_) {
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
    // What came in while the replies above were awaited.
    TakeInEvents(now);
    connection_.Flush();
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
    if (!managed_ && Clock::now() - mappedAt_ < kAdoptionWatch) {
        next = std::min(next.value_or(nextAdoptionCheck_), nextAdoptionCheck_);
    }
    return next;
}

void X11Toplevel::TakeInEvents(Clock::time_point now) {
    while (const auto event = connection_.NextEvent()) {
        Notice(*event, now);
    }
}

void X11Toplevel::Notice(const xcb_generic_event_t& event, Clock::time_point now) {
    constexpr std::uint8_t kSentFlag = 0x80;
    switch (event.response_type & ~kSentFlag) {
        case XCB_MAP_NOTIFY:
            if (reinterpret_cast<const xcb_map_notify_event_t&>(event).window == window_) {
                if (!mapped_) {
                    mapped_ = true;
                    mappedAt_ = now;
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
            if (property.window == connection_.Root() && property.atom == atoms_.netWorkarea) {
                workAreaChanged_ = true;
            }
            if (property.window == window_ && (property.atom == atoms_.wmState || property.atom == atoms_.netWmState)) {
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
    xcb_map_window(connection_.Get(), window_);
    nextMapRequest_ = now + std::min(kLongestMapWait, kFirstMapWait * (1 << std::min(mapRequests_, 4)));
    ++mapRequests_;
}

// Gives the window to the window manager again if one runs but has not
// taken the window on: withdrawn and mapped anew, the window comes to it
// as a map request.
void X11Toplevel::CheckAdoption(Clock::time_point now) {
    nextAdoptionCheck_ = now + kAdoptionPoll;
    managed_ = Managed();
    if (managed_ || !WindowManagerRunning()) {
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
    Withdraw();
    windowManagerSeen_.reset();
    mapped_ = false;
    mapRequests_ = 0;
    WantState(wantedState_);
}

// ICCCM's withdrawal: unmapped, and the window manager told so even if it
// never saw the window mapped.
void X11Toplevel::Withdraw() {
    xcb_unmap_window(connection_.Get(), window_);
    std::array<char, 32> bytes{};
    xcb_unmap_notify_event_t unmap{};
    unmap.response_type = XCB_UNMAP_NOTIFY;
    unmap.event = connection_.Root();
    unmap.window = window_;
    std::memcpy(bytes.data(), &unmap, sizeof unmap);
    xcb_send_event(connection_.Get(), 0, connection_.Root(),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY, bytes.data());
}

void X11Toplevel::ApplyState(Clock::time_point now) {
    switch (wantedState_) {
        case kWindowStateMaximised:
            stateSettled_ = Maximise(now);
            break;
        case kWindowStateMinimised:
            connection_.SendToRoot(window_, atoms_.wmChangeState, {kIconicState, 0, 0, 0, 0});
            stateSettled_ = true;
            break;
        default:
            if (Maximised()) {
                SendNetState(false);
            }
            stateSettled_ = true;
            break;
    }
}

// Moves the maximising on; true once there is nothing more to ask.
bool X11Toplevel::Maximise(Clock::time_point now) {
    // Done; or the window manager answered with another size, or the user
    // changed it since: the request is not made again.
    if (Maximised() || resizedSinceRequest_) {
        return true;
    }
    if (!WindowManagerOffersMaximised()) {
        FillWorkArea();
        return true;
    }
    if (!Managed() && now - mappedAt_ < kManagedPatience) {
        nextStateRequest_ = now + kManagedPoll;
        return false;
    }
    if (stateRequests_ > 0 && now < lastStateRequest_ + kStateWait) {
        nextStateRequest_ = lastStateRequest_ + kStateWait;
        return false;
    }
    // A tiling window manager keeps the window in its tile.
    if (stateRequests_ >= kStateRequests) {
        return true;
    }
    SendNetState(true);
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
    const std::vector<std::uint32_t> wmState = connection_.Property(window_, atoms_.wmState, atoms_.wmState);
    const bool iconic = !wmState.empty() && wmState.front() == kIconicState;
    managed_ = managed_ || (!wmState.empty() && wmState.front() != kWithdrawnState);
    viewable_ = connection_.Viewable(window_) && !iconic &&
                !Contains(connection_.Property(window_, atoms_.netWmState, XCB_ATOM_ATOM), atoms_.hidden);
}

bool X11Toplevel::Managed() const {
    const std::vector<std::uint32_t> wmState = connection_.Property(window_, atoms_.wmState, atoms_.wmState);
    return !wmState.empty() && wmState.front() != kWithdrawnState;
}

bool X11Toplevel::Maximised() const {
    const std::vector<std::uint32_t> states = connection_.Property(window_, atoms_.netWmState, XCB_ATOM_ATOM);
    return Contains(states, atoms_.maximisedVert) && Contains(states, atoms_.maximisedHorz);
}

// Someone holds the redirection of the root window's children: a window
// manager runs, whether or not it says so in EWMH.
bool X11Toplevel::WindowManagerRunning() const {
    return (connection_.AllEventMasks(connection_.Root()) & XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT) != 0;
}

// A running window manager that says it has a maximised state.
bool X11Toplevel::WindowManagerOffersMaximised() const {
    const std::vector<std::uint32_t> check =
        connection_.Property(connection_.Root(), atoms_.netSupportingWmCheck, XCB_ATOM_WINDOW);
    if (check.empty() || connection_.Property(check.front(), atoms_.netSupportingWmCheck, XCB_ATOM_WINDOW) != check) {
        return false;
    }
    const std::vector<std::uint32_t> supported =
        connection_.Property(connection_.Root(), atoms_.netSupported, XCB_ATOM_ATOM);
    return Contains(supported, atoms_.maximisedVert) && Contains(supported, atoms_.maximisedHorz);
}

void X11Toplevel::SendNetState(bool add) {
    connection_.SendToRoot(
        window_, atoms_.netWmState,
        {add ? kNetStateAdd : kNetStateRemove, atoms_.maximisedVert, atoms_.maximisedHorz, kSourceApplication, 0});
}

// The part of the screen the window manager leaves to windows, or the
// whole screen where nobody says.
X11Toplevel::Area X11Toplevel::WorkArea() const {
    const xcb_window_t root = connection_.Root();
    const std::vector<std::uint32_t> workareas = connection_.Property(root, atoms_.netWorkarea, XCB_ATOM_CARDINAL);
    const std::vector<std::uint32_t> desktop = connection_.Property(root, atoms_.netCurrentDesktop, XCB_ATOM_CARDINAL);
    const std::size_t at = 4 * static_cast<std::size_t>(desktop.empty() ? 0 : desktop.front());
    if (workareas.size() < at + 4) {
        return {0, 0, connection_.ScreenWidth(), connection_.ScreenHeight()};
    }
    return {static_cast<int>(workareas[at]), static_cast<int>(workareas[at + 1]), static_cast<int>(workareas[at + 2]),
            static_cast<int>(workareas[at + 3])};
}

// A window manager that maximised the window before its panel took its
// room (icewm, started with the program) leaves the window under the
// panel: asked again, it maximises the window over the work area as it is.
void X11Toplevel::RefitToWorkArea() {
    workAreaChanged_ = false;
    if (wantedState_ != kWindowStateMaximised || !Maximised()) {
        return;
    }
    const auto client = connection_.GeometryOf(window_);
    const auto corner = connection_.Translate(window_, connection_.Root());
    const Area area = WorkArea();
    if (!client || !corner) {
        return;
    }
    const bool fits = corner->first >= area.x && corner->second >= area.y &&
                      corner->first + client->width <= area.x + area.width &&
                      corner->second + client->height <= area.y + area.height;
    if (!fits) {
        SendNetState(false);
        SendNetState(true);
    }
}

// Maximises the window without the window manager's help: its frame is
// sized to the work area.
void X11Toplevel::FillWorkArea() {
    const xcb_window_t root = connection_.Root();
    const Area area = WorkArea();
    // The frame around the window: the top-level ancestor's outline.
    xcb_window_t frame = window_;
    for (auto parent = connection_.ParentOf(frame); parent && *parent != root && *parent != XCB_WINDOW_NONE;
         parent = connection_.ParentOf(frame)) {
        frame = *parent;
    }
    const auto outer = connection_.GeometryOf(frame);
    const auto inner = connection_.GeometryOf(window_);
    const auto within = connection_.Translate(window_, frame);
    if (!outer || !inner || !within) {
        return;
    }
    const int left = within->first + outer->border;
    const int top = within->second + outer->border;
    const int right = outer->width + 2 * outer->border - left - inner->width;
    const int bottom = outer->height + 2 * outer->border - top - inner->height;
    // A position refers to the frame's corner unless the window asked for
    // static gravity, where it is the window's own.
    const std::vector<std::uint32_t> hints =
        connection_.Property(window_, XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS);
    const bool isStatic = hints.size() > kWinGravityItem && (hints[0] & kWinGravityGiven) != 0 &&
                          hints[kWinGravityItem] == kStaticGravity;
    const std::array<std::uint32_t, 4> values{static_cast<std::uint32_t>(area.x + (isStatic ? left : 0)),
                                              static_cast<std::uint32_t>(area.y + (isStatic ? top : 0)),
                                              static_cast<std::uint32_t>(std::max(1, area.width - left - right)),
                                              static_cast<std::uint32_t>(std::max(1, area.height - top - bottom))};
    xcb_configure_window(connection_.Get(), window_,
                         XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT,
                         values.data());
}

}  // namespace platform::sdl
