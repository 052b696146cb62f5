#include "platform/sdl/x11_toplevel.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <array>
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

constexpr long kWithdrawnState = 0;
constexpr long kIconicState = 3;
constexpr long kNetStateRemove = 0;
constexpr long kNetStateAdd = 1;
constexpr long kSourceApplication = 1;

// A window property as 32-bit items (longs, as Xlib hands them out).
std::vector<long> Property(Display* display, ::Window window, Atom property, Atom type) {
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    std::vector<long> items;
    if (XGetWindowProperty(display, window, property, 0, 1024, False, type, &actualType, &format, &count, &after,
                           &data) == Success &&
        data != nullptr && format == 32) {
        const auto* values = reinterpret_cast<const long*>(data);
        items.assign(values, values + count);
    }
    if (data != nullptr) {
        XFree(data);
    }
    return items;
}

bool Contains(const std::vector<long>& items, Atom atom) {
    return std::find(items.begin(), items.end(), static_cast<long>(atom)) != items.end();
}

}  // namespace

X11Toplevel::X11Toplevel(Display* display, ::Window window) : display_(display), window_(window) {
    std::array<char*, 10> names{const_cast<char*>("WM_STATE"),
                                const_cast<char*>("_NET_WM_STATE"),
                                const_cast<char*>("_NET_WM_STATE_MAXIMIZED_VERT"),
                                const_cast<char*>("_NET_WM_STATE_MAXIMIZED_HORZ"),
                                const_cast<char*>("_NET_WM_STATE_HIDDEN"),
                                const_cast<char*>("_NET_SUPPORTED"),
                                const_cast<char*>("_NET_SUPPORTING_WM_CHECK"),
                                const_cast<char*>("_NET_WORKAREA"),
                                const_cast<char*>("_NET_CURRENT_DESKTOP"),
                                const_cast<char*>("_NET_FRAME_EXTENTS")};
    std::array<Atom, 10> atoms{};
    XInternAtoms(display_, names.data(), static_cast<int>(names.size()), False, atoms.data());
    atoms_ = {atoms[0], atoms[1], atoms[2], atoms[3], atoms[4], atoms[5], atoms[6], atoms[7], atoms[8], atoms[9]};
}

void X11Toplevel::WantState(int windowState) {
    wantedState_ = windowState;
    stateSettled_ = false;
    stateRequests_ = 0;
    nextStateRequest_ = {};
}

void X11Toplevel::Notice(const XEvent& event) {
    if (event.xany.window != window_) {
        return;
    }
    switch (event.type) {
        case MapNotify:
            if (!mapped_) {
                mapped_ = true;
                mappedAt_ = Clock::now();
            }
            visibilityChanged_ = true;
            break;
        case UnmapNotify:
            visibilityChanged_ = true;
            break;
        case ReparentNotify:
            // A window manager that started after the window was mapped has
            // taken it on: what was settled without it is asked of it now.
            if (mapped_ && event.xreparent.parent != DefaultRootWindow(display_)) {
                WantState(wantedState_);
            }
            break;
        case PropertyNotify:
            if (event.xproperty.atom == atoms_.wmState || event.xproperty.atom == atoms_.netWmState) {
                visibilityChanged_ = true;
                // An answer to a state request is looked at now, not at its deadline.
                nextStateRequest_ = std::min(nextStateRequest_, Clock::now());
            }
            break;
        default:
            break;
    }
}

void X11Toplevel::Step(Clock::time_point now) {
    if (visibilityChanged_) {
        ReadVisibility();
    }
    if (!showWanted_) {
        return;
    }
    if (!mapped_) {
        if (mapRequests_ == 0 || now >= nextMapRequest_) {
            RequestMap(now);
        }
        return;
    }
    if (!stateSettled_ && now >= nextStateRequest_) {
        ApplyState(now);
    }
}

std::optional<X11Toplevel::Clock::time_point> X11Toplevel::NextStep() const {
    if (!showWanted_) {
        return std::nullopt;
    }
    if (!mapped_) {
        return nextMapRequest_;
    }
    if (!stateSettled_) {
        return nextStateRequest_;
    }
    return std::nullopt;
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
    XMapWindow(display_, window_);
    XFlush(display_);
    nextMapRequest_ = now + std::min(kLongestMapWait, kFirstMapWait * (1 << std::min(mapRequests_, 4)));
    ++mapRequests_;
}

void X11Toplevel::ApplyState(Clock::time_point now) {
    switch (wantedState_) {
        case kWindowStateMaximised:
            if (Maximised()) {
                stateSettled_ = true;
            } else if (!WindowManagerOffersMaximised()) {
                FillWorkArea();
                stateSettled_ = true;
            } else if (!Managed() && now - mappedAt_ < kManagedPatience) {
                nextStateRequest_ = now + kManagedPoll;
            } else if (stateRequests_ >= kStateRequests) {
                // A tiling window manager keeps the window in its tile.
                stateSettled_ = true;
            } else {
                SendNetState(true);
                ++stateRequests_;
                nextStateRequest_ = now + kStateWait;
            }
            break;
        case kWindowStateMinimised:
            XIconifyWindow(display_, window_, DefaultScreen(display_));
            XFlush(display_);
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

// Seen: mapped with every ancestor, and neither minimised nor hidden by the
// window manager, whichever order it told of these in.
void X11Toplevel::ReadVisibility() {
    visibilityChanged_ = false;
    XWindowAttributes attributes{};
    const bool mapped = XGetWindowAttributes(display_, window_, &attributes) != 0 && attributes.map_state == IsViewable;
    const std::vector<long> wmState = Property(display_, window_, atoms_.wmState, atoms_.wmState);
    const bool iconic = !wmState.empty() && wmState.front() == kIconicState;
    viewable_ = mapped && !iconic && !HasNetState(atoms_.hidden);
}

bool X11Toplevel::Managed() const {
    const std::vector<long> wmState = Property(display_, window_, atoms_.wmState, atoms_.wmState);
    return !wmState.empty() && wmState.front() != kWithdrawnState;
}

bool X11Toplevel::HasNetState(Atom state) const {
    return Contains(Property(display_, window_, atoms_.netWmState, XA_ATOM), state);
}

bool X11Toplevel::Maximised() const {
    const std::vector<long> states = Property(display_, window_, atoms_.netWmState, XA_ATOM);
    return Contains(states, atoms_.maximisedVert) && Contains(states, atoms_.maximisedHorz);
}

// A running window manager that says it has a maximised state.
bool X11Toplevel::WindowManagerOffersMaximised() const {
    const ::Window root = DefaultRootWindow(display_);
    const std::vector<long> check = Property(display_, root, atoms_.netSupportingWmCheck, XA_WINDOW);
    if (check.empty() ||
        Property(display_, static_cast<::Window>(check.front()), atoms_.netSupportingWmCheck, XA_WINDOW) != check) {
        return false;
    }
    const std::vector<long> supported = Property(display_, root, atoms_.netSupported, XA_ATOM);
    return Contains(supported, atoms_.maximisedVert) && Contains(supported, atoms_.maximisedHorz);
}

void X11Toplevel::SendNetState(bool add) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window_;
    event.xclient.message_type = atoms_.netWmState;
    event.xclient.format = 32;
    event.xclient.data.l[0] = add ? kNetStateAdd : kNetStateRemove;
    event.xclient.data.l[1] = static_cast<long>(atoms_.maximisedVert);
    event.xclient.data.l[2] = static_cast<long>(atoms_.maximisedHorz);
    event.xclient.data.l[3] = kSourceApplication;
    XSendEvent(display_, DefaultRootWindow(display_), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XFlush(display_);
}

// Maximises the window without the window manager's help: its frame is
// sized to the work area, or to the screen where nobody says what that is.
void X11Toplevel::FillWorkArea() {
    const ::Window root = DefaultRootWindow(display_);
    int areaX = 0;
    int areaY = 0;
    int areaWidth = DisplayWidth(display_, DefaultScreen(display_));
    int areaHeight = DisplayHeight(display_, DefaultScreen(display_));
    const std::vector<long> workareas = Property(display_, root, atoms_.netWorkarea, XA_CARDINAL);
    const std::vector<long> desktop = Property(display_, root, atoms_.netCurrentDesktop, XA_CARDINAL);
    const std::size_t at = 4 * static_cast<std::size_t>(desktop.empty() ? 0 : std::max(0L, desktop.front()));
    if (workareas.size() >= at + 4) {
        areaX = static_cast<int>(workareas[at]);
        areaY = static_cast<int>(workareas[at + 1]);
        areaWidth = static_cast<int>(workareas[at + 2]);
        areaHeight = static_cast<int>(workareas[at + 3]);
    }
    // The frame around the window: from the top-level ancestor's outline.
    ::Window frame = window_;
    for (;;) {
        ::Window rootReturn = None;
        ::Window parent = None;
        ::Window* children = nullptr;
        unsigned int count = 0;
        if (XQueryTree(display_, frame, &rootReturn, &parent, &children, &count) == 0) {
            break;
        }
        if (children != nullptr) {
            XFree(children);
        }
        if (parent == rootReturn || parent == None) {
            break;
        }
        frame = parent;
    }
    XWindowAttributes outer{};
    XWindowAttributes inner{};
    int clientX = 0;
    int clientY = 0;
    ::Window child = None;
    if (XGetWindowAttributes(display_, frame, &outer) == 0 || XGetWindowAttributes(display_, window_, &inner) == 0 ||
        XTranslateCoordinates(display_, window_, frame, 0, 0, &clientX, &clientY, &child) == 0) {
        return;
    }
    const int left = clientX + outer.border_width;
    const int top = clientY + outer.border_width;
    const int right = outer.width + 2 * outer.border_width - left - inner.width;
    const int bottom = outer.height + 2 * outer.border_width - top - inner.height;
    // A position refers to the frame's corner unless the window asked for
    // static gravity, where it is the window's own.
    XSizeHints hints{};
    long supplied = 0;
    const bool isStatic = XGetWMNormalHints(display_, window_, &hints, &supplied) != 0 &&
                          (hints.flags & PWinGravity) != 0 && hints.win_gravity == StaticGravity;
    XMoveResizeWindow(display_, window_, areaX + (isStatic ? left : 0), areaY + (isStatic ? top : 0),
                      static_cast<unsigned>(std::max(1, areaWidth - left - right)),
                      static_cast<unsigned>(std::max(1, areaHeight - top - bottom)));
    XFlush(display_);
}

}  // namespace platform::sdl
