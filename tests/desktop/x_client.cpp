#include "tests/desktop/x_client.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <thread>

namespace desktop {
namespace {

// A window can vanish between two requests about it (the program under test
// ends, the window manager unmaps it). Such errors answer the request with
// nothing, which the callers check for, instead of ending the test process.
int IgnoreXError(Display* /*display*/, XErrorEvent* /*error*/) { return 0; }

// Deep enough for a client inside a window manager's frame and its parent.
constexpr int kFrameDepth = 3;

}  // namespace

XClient::XClient(const std::string& display, const std::string& authorityFile) {
    // Xlib reads the authority file's name from the environment as it connects.
    if (!authorityFile.empty()) {
        setenv("XAUTHORITY", authorityFile.c_str(), 1);
    }
    display_ = XOpenDisplay(display.c_str());
    if (display_ == nullptr) {
        throw std::runtime_error("cannot connect to " + display);
    }
    XSetErrorHandler(IgnoreXError);
}

XClient::~XClient() {
    if (display_ != nullptr) {
        XCloseDisplay(display_);
    }
}

Atom XClient::Intern(const char* name) { return XInternAtom(display_, name, False); }

std::vector<long> XClient::Property(Window window, const char* name, Atom type) {
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(display_, window, Intern(name), 0, 1 << 16, False, type, &actualType, &format, &count, &after,
                       &data);
    std::vector<long> items;
    if (data != nullptr && format == 32) {
        const auto* values = reinterpret_cast<const long*>(data);
        items.assign(values, values + count);
    }
    if (data != nullptr) {
        XFree(data);
    }
    return items;
}

// The managed windows: as the window manager lists them, or where it lists
// none (twm), the windows it marked with WM_STATE.
std::vector<Window> XClient::Clients() {
    std::vector<Window> clients;
    for (const long window : Property(DefaultRootWindow(display_), "_NET_CLIENT_LIST", XA_WINDOW)) {
        clients.push_back(static_cast<Window>(window));
    }
    if (clients.empty()) {
        FindManaged(DefaultRootWindow(display_), kFrameDepth, clients);
    }
    return clients;
}

std::vector<Window> XClient::Children(Window under) {
    Window root = None;
    Window parent = None;
    Window* children = nullptr;
    unsigned int count = 0;
    std::vector<Window> found;
    if (XQueryTree(display_, under, &root, &parent, &children, &count) != 0 && children != nullptr) {
        found.assign(children, children + count);
        XFree(children);
    }
    return found;
}

void XClient::FindManaged(Window under, int depth, std::vector<Window>& found) {
    if (depth == 0) {
        return;
    }
    for (const Window child : Children(under)) {
        if (!Property(child, "WM_STATE", Intern("WM_STATE")).empty()) {
            found.push_back(child);
        } else {
            FindManaged(child, depth - 1, found);
        }
    }
}

std::optional<Window> XClient::FirstTitled(const std::vector<Window>& windows, const std::string& titlePrefix) {
    for (const Window window : windows) {
        if (Title(window).starts_with(titlePrefix)) {
            return window;
        }
    }
    return std::nullopt;
}

std::optional<Window> XClient::FindTopLevel(const std::string& titlePrefix) {
    return FirstTitled(Children(DefaultRootWindow(display_)), titlePrefix);
}

std::optional<Window> XClient::FindWindow(const std::string& titlePrefix) {
    return FirstTitled(Clients(), titlePrefix);
}

std::string XClient::DescribeClients() {
    std::string text = "[";
    for (const Window window : Clients()) {
        text += " '" + Title(window) + "'";
    }
    return text + " ]";
}

std::vector<std::string> XClient::WatchTitle(Window window, std::chrono::milliseconds period) {
    const Atom name = Intern("_NET_WM_NAME");
    XSelectInput(display_, window, PropertyChangeMask);
    std::vector<std::string> titles;
    for (const auto end = std::chrono::steady_clock::now() + period; std::chrono::steady_clock::now() < end;) {
        if (XPending(display_) == 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            continue;
        }
        XEvent event;
        XNextEvent(display_, &event);
        if (event.type == PropertyNotify && event.xproperty.window == window && event.xproperty.atom == name &&
            event.xproperty.state == PropertyNewValue) {
            titles.push_back(Title(window));
        }
    }
    XSelectInput(display_, window, NoEventMask);
    return titles;
}

std::string XClient::Title(Window window) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(display_, window, Intern("_NET_WM_NAME"), 0, 1024, False, Intern("UTF8_STRING"), &type, &format,
                       &count, &after, &data);
    std::string title;
    if (data != nullptr) {
        title.assign(reinterpret_cast<const char*>(data), count);
        XFree(data);
    }
    return title;
}

std::string XClient::IcccmName(Window window) {
    XTextProperty name{};
    if (XGetWMName(display_, window, &name) == 0) {
        return "";
    }
    char** list = nullptr;
    int count = 0;
    std::string text;
    if (Xutf8TextPropertyToTextList(display_, &name, &list, &count) == Success && count > 0) {
        text = list[0];
        XFreeStringList(list);
    }
    XFree(name.value);
    return text;
}

std::string XClient::RootText(const char* property) { return Text(DefaultRootWindow(display_), property); }

std::vector<long> XClient::Cardinals(Window window, const char* property) {
    return Property(window, property, XA_CARDINAL);
}

std::string XClient::Text(Window window, const char* property) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(display_, window, Intern(property), 0, 1024, False, AnyPropertyType, &type, &format, &count,
                       &after, &data);
    std::string text;
    if (data != nullptr) {
        text.assign(reinterpret_cast<const char*>(data), format == 8 ? count : 0);
        XFree(data);
    }
    return text;
}

std::optional<Rect> XClient::ClientArea(Window window) {
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display_, window, &attributes) == 0) {
        return std::nullopt;
    }
    int x = 0;
    int y = 0;
    Window child = None;
    XTranslateCoordinates(display_, window, DefaultRootWindow(display_), 0, 0, &x, &y, &child);
    return Rect{x, y, attributes.width, attributes.height};
}

std::optional<Rect> XClient::Frame(Window window) {
    Window frame = window;
    for (;;) {
        Window root = None;
        Window parent = None;
        Window* children = nullptr;
        unsigned int count = 0;
        if (XQueryTree(display_, frame, &root, &parent, &children, &count) == 0) {
            return std::nullopt;
        }
        if (children != nullptr) {
            XFree(children);
        }
        if (parent == root) {
            break;
        }
        frame = parent;
    }
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display_, frame, &attributes) == 0) {
        return std::nullopt;
    }
    const int border = attributes.border_width;
    return Rect{attributes.x, attributes.y, attributes.width + 2 * border, attributes.height + 2 * border};
}

Rect XClient::WorkArea() {
    const std::vector<long> area = Property(DefaultRootWindow(display_), "_NET_WORKAREA", XA_CARDINAL);
    if (area.size() >= 4) {
        return {static_cast<int>(area[0]), static_cast<int>(area[1]), static_cast<int>(area[2]),
                static_cast<int>(area[3])};
    }
    return {0, 0, DisplayWidth(display_, DefaultScreen(display_)), DisplayHeight(display_, DefaultScreen(display_))};
}

bool XClient::HasState(Window window, const char* state) {
    const std::vector<long> states = Property(window, "_NET_WM_STATE", XA_ATOM);
    return std::find(states.begin(), states.end(), static_cast<long>(Intern(state))) != states.end();
}

bool XClient::Viewable(Window window) {
    XWindowAttributes attributes;
    return XGetWindowAttributes(display_, window, &attributes) != 0 && attributes.map_state == IsViewable;
}

bool XClient::Minimised(Window window) {
    constexpr long kIconicState = 3;
    const std::vector<long> wmState = Property(window, "WM_STATE", Intern("WM_STATE"));
    return (!wmState.empty() && wmState.front() == kIconicState) || HasState(window, "_NET_WM_STATE_HIDDEN") ||
           !Viewable(window);
}

bool XClient::Focused(Window window) {
    const std::vector<long> active = Property(DefaultRootWindow(display_), "_NET_ACTIVE_WINDOW", XA_WINDOW);
    if (!active.empty() && static_cast<Window>(active.front()) == window) {
        return true;
    }
    Window focus = None;
    int revert = 0;
    XGetInputFocus(display_, &focus, &revert);
    return focus == window;
}

}  // namespace desktop
