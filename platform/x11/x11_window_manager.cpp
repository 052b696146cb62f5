#include "platform/x11/x11_window_manager.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace platform::x11 {
namespace {

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

X11WindowManager::X11WindowManager(const X11Connection& connection, xcb_window_t window)
    : connection_(connection), window_(window) {
    const auto atoms = connection_.Atoms(std::array<const char*, 10>{
        "WM_STATE", "WM_CHANGE_STATE", "_NET_WM_STATE", "_NET_WM_STATE_MAXIMIZED_VERT", "_NET_WM_STATE_MAXIMIZED_HORZ",
        "_NET_WM_STATE_HIDDEN", "_NET_SUPPORTED", "_NET_SUPPORTING_WM_CHECK", "_NET_WORKAREA", "_NET_CURRENT_DESKTOP"});
    atoms_ = {atoms[0], atoms[1], atoms[2], atoms[3], atoms[4], atoms[5], atoms[6], atoms[7], atoms[8], atoms[9]};
}

bool X11WindowManager::Running() const {
    return (connection_.AllEventMasks(connection_.Root()) & XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT) != 0;
}

bool X11WindowManager::OffersMaximised() const {
    const std::vector<std::uint32_t> check =
        connection_.Property(connection_.Root(), atoms_.netSupportingWmCheck, XCB_ATOM_WINDOW);
    if (check.empty() || connection_.Property(check.front(), atoms_.netSupportingWmCheck, XCB_ATOM_WINDOW) != check) {
        return false;
    }
    const std::vector<std::uint32_t> supported =
        connection_.Property(connection_.Root(), atoms_.netSupported, XCB_ATOM_ATOM);
    return Contains(supported, atoms_.maximisedVert) && Contains(supported, atoms_.maximisedHorz);
}

X11WindowManager::State X11WindowManager::WindowState() const {
    const std::vector<std::uint32_t> wmState = connection_.Property(window_, atoms_.wmState, atoms_.wmState);
    if (wmState.empty() || wmState.front() == kWithdrawnState) {
        return State::Withdrawn;
    }
    return wmState.front() == kIconicState ? State::Iconic : State::Normal;
}

bool X11WindowManager::Hidden() const { return Contains(WindowStates(), atoms_.hidden); }

bool X11WindowManager::Maximised() const {
    const std::vector<std::uint32_t> states = WindowStates();
    return Contains(states, atoms_.maximisedVert) && Contains(states, atoms_.maximisedHorz);
}

std::vector<std::uint32_t> X11WindowManager::WindowStates() const {
    return connection_.Property(window_, atoms_.netWmState, XCB_ATOM_ATOM);
}

void X11WindowManager::AskMaximised(bool maximised) const {
    connection_.SendToRoot(window_, atoms_.netWmState,
                           {maximised ? kNetStateAdd : kNetStateRemove, atoms_.maximisedVert, atoms_.maximisedHorz,
                            kSourceApplication, 0});
}

void X11WindowManager::AskIconic() const {
    connection_.SendToRoot(window_, atoms_.wmChangeState, {kIconicState, 0, 0, 0, 0});
}

void X11WindowManager::Withdraw() const {
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

X11WindowManager::Area X11WindowManager::WorkArea() const {
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

bool X11WindowManager::FitsWorkArea() const {
    const auto client = connection_.GeometryOf(window_);
    const auto corner = connection_.Translate(window_, connection_.Root());
    if (!client || !corner) {
        // Gone while asked about: nothing to fit.
        return true;
    }
    const Area area = WorkArea();
    return corner->first >= area.x && corner->second >= area.y &&
           corner->first + client->width <= area.x + area.width &&
           corner->second + client->height <= area.y + area.height;
}

void X11WindowManager::FillWorkArea() const {
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

}  // namespace platform::x11
