#include "platform/x11/x11_window_manager.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform::x11 {
namespace {

// ICCCM's and EWMH's numbers.
constexpr std::uint32_t kWithdrawnState = 0;
constexpr std::uint32_t kIconicState = 3;
constexpr std::uint32_t kNetStateRemove = 0;
constexpr std::uint32_t kNetStateAdd = 1;
constexpr std::uint32_t kSourceApplication = 1;
constexpr std::uint32_t kUserPosition = 1U << 0;
constexpr std::uint32_t kProgramSize = 1U << 3;
constexpr std::uint32_t kWinGravityGiven = 1U << 9;
constexpr std::size_t kSizeHintsItems = 18;
constexpr std::size_t kWinGravityItem = 17;
constexpr std::uint32_t kStaticGravity = 10;

// _NET_WM_ICON's items: the program's figure at the sides task lists use,
// each picture its width, its height and its ARGB pixels.
constexpr std::uint32_t kIcon[] = {
#include "x11_icon_pixels.inc"
};

bool Contains(const std::vector<std::uint32_t>& items, xcb_atom_t atom) {
    return std::find(items.begin(), items.end(), atom) != items.end();
}

// UTF-8 text as ICCCM's text properties take it: Latin-1, with every run of
// characters outside it in a UTF-8 segment of COMPOUND_TEXT (ESC % G, back
// with ESC % @), as Xlib writes them. `compound` when any run needed one.
struct IcccmText {
    std::string bytes;
    bool compound = false;
};

IcccmText ToIcccm(std::string_view utf8) {
    IcccmText text;
    std::string outside;
    const auto endRun = [&] {
        if (!outside.empty()) {
            text.bytes += "\x1b%G" + outside + "\x1b%@";
            outside.clear();
        }
    };
    for (std::size_t at = 0; at < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[at]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        const std::string_view character = utf8.substr(at, length);
        at += length;
        const unsigned code =
            length == 2 ? ((lead & 0x1FU) << 6) | (static_cast<unsigned char>(character.back()) & 0x3FU) : lead;
        // ASCII, and Latin-1's printable upper half, are Latin-1 bytes.
        if (length == 1 || (length == 2 && code >= 0xA0 && code <= 0xFF)) {
            endRun();
            text.bytes += static_cast<char>(code);
        } else {
            outside += character;
            text.compound = true;
        }
    }
    endRun();
    return text;
}

}  // namespace

X11WindowManager::X11WindowManager(const X11Connection& connection, xcb_window_t window)
    : connection_(connection), window_(window) {
    atoms_ = connection_.Atoms<kAtoms>(
        "WM_PROTOCOLS WM_DELETE_WINDOW _NET_WM_PING _NET_WM_PID _NET_WM_NAME UTF8_STRING _NET_WM_WINDOW_TYPE "
        "_NET_WM_WINDOW_TYPE_NORMAL WM_STATE WM_CHANGE_STATE _NET_WM_STATE _NET_WM_STATE_MAXIMIZED_VERT "
        "_NET_WM_STATE_MAXIMIZED_HORZ _NET_WM_STATE_HIDDEN _NET_SUPPORTED _NET_SUPPORTING_WM_CHECK _NET_WORKAREA "
        "_NET_CURRENT_DESKTOP COMPOUND_TEXT _NET_WM_ICON");
}

void X11WindowManager::Introduce() const {
    constexpr std::string_view kClass("pentagram\0pentagram\0", 20);
    connection_.SetProperty(window_, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8, kClass.size(), kClass.data());
    const std::array<std::uint32_t, 2> protocols{atoms_[kWmDeleteWindow], atoms_[kNetWmPing]};
    connection_.SetProperty(window_, atoms_[kWmProtocols], XCB_ATOM_ATOM, 32, protocols.size(), protocols.data());
    const auto pid = static_cast<std::uint32_t>(getpid());
    connection_.SetProperty(window_, atoms_[kNetWmPid], XCB_ATOM_CARDINAL, 32, 1, &pid);
    std::array<char, 256> host{};
    if (gethostname(host.data(), host.size() - 1) == 0) {
        connection_.SetProperty(window_, XCB_ATOM_WM_CLIENT_MACHINE, XCB_ATOM_STRING, 8, std::strlen(host.data()),
                                host.data());
    }
    connection_.SetProperty(window_, atoms_[kNetWmWindowType], XCB_ATOM_ATOM, 32, 1, &atoms_[kNetWmWindowTypeNormal]);
    connection_.SetProperty(window_, atoms_[kNetWmIcon], XCB_ATOM_CARDINAL, 32, std::size(kIcon), kIcon);
    // ICCCM's WM_HINTS: the input hint set, for a window that takes the focus.
    constexpr std::uint32_t kInputHint = 1;
    const std::array<std::uint32_t, 9> hints{kInputHint, 1, 0, 0, 0, 0, 0, 0, 0};
    connection_.SetProperty(window_, XCB_ATOM_WM_HINTS, XCB_ATOM_WM_HINTS, 32, hints.size(), hints.data());
}

void X11WindowManager::SetTitle(const std::string& title) const {
    connection_.SetProperty(window_, atoms_[kNetWmName], atoms_[kUtf8String], 8, title.size(), title.data());
    // The name older window managers read: Latin-1, or compound text where
    // the title has more than Latin-1 (the separator of some locales).
    const IcccmText name = ToIcccm(title);
    const xcb_atom_t type = name.compound ? atoms_[kCompoundText] : static_cast<xcb_atom_t>(XCB_ATOM_STRING);
    connection_.SetProperty(window_, XCB_ATOM_WM_NAME, type, 8, name.bytes.size(), name.bytes.data());
}

// ICCCM's WM_NORMAL_HINTS with the size the program asks for, and no
// position: the window manager places it.
void X11WindowManager::SizeNormally(int width, int height) const {
    std::array<std::uint32_t, kSizeHintsItems> hints{};
    hints[0] = kProgramSize;
    hints[3] = static_cast<std::uint32_t>(width);
    hints[4] = static_cast<std::uint32_t>(height);
    connection_.SetProperty(window_, XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS, 32, hints.size(), hints.data());
}

void X11WindowManager::Resize(int width, int height) const {
    const std::array<std::uint32_t, 2> values{static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)};
    xcb_configure_window(connection_.Get(), window_, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, values.data());
}

void X11WindowManager::KeepPlace() const {
    std::vector<std::uint32_t> hints = connection_.Property(window_, XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS);
    hints.resize(kSizeHintsItems);
    hints[0] |= kUserPosition;
    connection_.SetProperty(window_, XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS, 32, hints.size(), hints.data());
}

bool X11WindowManager::Answer(const xcb_client_message_event_t& message) const {
    if (message.type != atoms_[kWmProtocols] || message.format != 32) {
        return false;
    }
    if (message.data.data32[0] == atoms_[kNetWmPing]) {
        // Returned to the root, as EWMH has it.
        std::array<std::uint32_t, 5> data{};
        std::copy(std::begin(message.data.data32), std::end(message.data.data32), data.begin());
        connection_.Send(connection_.Root(), connection_.Root(), message.type, data);
        return false;
    }
    return message.data.data32[0] == atoms_[kWmDeleteWindow];
}

bool X11WindowManager::Running() const {
    return (connection_.AllEventMasks(connection_.Root()) & XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT) != 0;
}

bool X11WindowManager::OffersMaximised() const {
    const std::vector<std::uint32_t> check =
        connection_.Property(connection_.Root(), atoms_[kNetSupportingWmCheck], XCB_ATOM_WINDOW);
    if (check.empty() || connection_.Property(check.front(), atoms_[kNetSupportingWmCheck], XCB_ATOM_WINDOW) != check) {
        return false;
    }
    const std::vector<std::uint32_t> supported =
        connection_.Property(connection_.Root(), atoms_[kNetSupported], XCB_ATOM_ATOM);
    return Contains(supported, atoms_[kMaximisedVert]) && Contains(supported, atoms_[kMaximisedHorz]);
}

X11WindowManager::State X11WindowManager::WindowState() const {
    const std::vector<std::uint32_t> wmState = connection_.Property(window_, atoms_[kWmState], atoms_[kWmState]);
    if (wmState.empty() || wmState.front() == kWithdrawnState) {
        return State::Withdrawn;
    }
    return wmState.front() == kIconicState ? State::Iconic : State::Normal;
}

bool X11WindowManager::Hidden() const { return Contains(WindowStates(), atoms_[kHidden]); }

bool X11WindowManager::Maximised() const {
    const std::vector<std::uint32_t> states = WindowStates();
    return Contains(states, atoms_[kMaximisedVert]) && Contains(states, atoms_[kMaximisedHorz]);
}

std::vector<std::uint32_t> X11WindowManager::WindowStates() const {
    return connection_.Property(window_, atoms_[kNetWmState], XCB_ATOM_ATOM);
}

void X11WindowManager::AskMaximised(bool maximised) const {
    connection_.Send(connection_.Root(), window_, atoms_[kNetWmState],
                     {maximised ? kNetStateAdd : kNetStateRemove, atoms_[kMaximisedVert], atoms_[kMaximisedHorz],
                      kSourceApplication, 0});
}

void X11WindowManager::StartMaximised(bool maximised) const {
    const std::array<std::uint32_t, 2> states{atoms_[kMaximisedVert], atoms_[kMaximisedHorz]};
    connection_.SetProperty(window_, atoms_[kNetWmState], XCB_ATOM_ATOM, 32, maximised ? states.size() : 0,
                            states.data());
}

void X11WindowManager::AskIconic() const {
    connection_.Send(connection_.Root(), window_, atoms_[kWmChangeState], {kIconicState, 0, 0, 0, 0});
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
    const std::vector<std::uint32_t> workareas = connection_.Property(root, atoms_[kNetWorkarea], XCB_ATOM_CARDINAL);
    const std::vector<std::uint32_t> desktop =
        connection_.Property(root, atoms_[kNetCurrentDesktop], XCB_ATOM_CARDINAL);
    const std::size_t at = 4 * static_cast<std::size_t>(desktop.empty() ? 0 : desktop.front());
    if (workareas.size() < at + 4) {
        return {0, 0, connection_.Screen().width_in_pixels, connection_.Screen().height_in_pixels};
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
