// What the test client asks of the desktop: clicks, and requests to the
// window manager as a person's desktop makes them.

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <thread>

#include "tests/desktop/x_client.h"
#include "tests/support/child_process.h"

namespace desktop {

void XClient::Click(int x, int y) {
    XTestFakeMotionEvent(display_, -1, x, y, CurrentTime);
    XTestFakeButtonEvent(display_, 1, True, CurrentTime);
    XTestFakeButtonEvent(display_, 1, False, CurrentTime);
    XFlush(display_);
}

void XClient::SendToRoot(Window window, const char* message, const std::vector<long>& data) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = Intern(message);
    event.xclient.format = 32;
    for (std::size_t i = 0; i < data.size() && i < 5; ++i) {
        event.xclient.data.l[i] = data[i];
    }
    XSendEvent(display_, DefaultRootWindow(display_), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XFlush(display_);
}

void XClient::RequestClose(Window window) { SendToRoot(window, "_NET_CLOSE_WINDOW", {CurrentTime, 2}); }

// A WM_PROTOCOLS message for the window, as window managers send them.
XEvent XClient::ProtocolMessage(Window window, const char* protocol, long timestamp) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = Intern("WM_PROTOCOLS");
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(Intern(protocol));
    event.xclient.data.l[1] = timestamp;
    return event;
}

void XClient::SendDeleteWindow(Window window) {
    XEvent event = ProtocolMessage(window, "WM_DELETE_WINDOW", CurrentTime);
    XSendEvent(display_, window, False, NoEventMask, &event);
    XFlush(display_);
}

bool XClient::AnswersPing(Window window) {
    const Window root = DefaultRootWindow(display_);
    XSelectInput(display_, root, SubstructureNotifyMask);
    constexpr long kTimestamp = 4242;
    XEvent ping = ProtocolMessage(window, "_NET_WM_PING", kTimestamp);
    ping.xclient.data.l[2] = static_cast<long>(window);
    XSendEvent(display_, window, False, NoEventMask, &ping);
    XFlush(display_);
    // The answer is the same message, sent back to the root.
    const bool answered = testing_support::WaitUntil(
        [&] {
            XEvent event;
            while (XCheckTypedWindowEvent(display_, root, ClientMessage, &event) != 0) {
                if (event.xclient.data.l[0] == ping.xclient.data.l[0] && event.xclient.data.l[1] == kTimestamp &&
                    event.xclient.data.l[2] == static_cast<long>(window)) {
                    return true;
                }
            }
            return false;
        },
        std::chrono::seconds(2));
    XSelectInput(display_, root, NoEventMask);
    return answered;
}

void XClient::SetMaximised(Window window, bool maximised) {
    constexpr long kRemove = 0;
    constexpr long kAdd = 1;
    SendToRoot(window, "_NET_WM_STATE",
               {maximised ? kAdd : kRemove, static_cast<long>(Intern("_NET_WM_STATE_MAXIMIZED_VERT")),
                static_cast<long>(Intern("_NET_WM_STATE_MAXIMIZED_HORZ")), 2});
}

void XClient::Minimise(Window window) {
    XIconifyWindow(display_, window, DefaultScreen(display_));
    XFlush(display_);
}

void XClient::Activate(Window window) { SendToRoot(window, "_NET_ACTIVE_WINDOW", {2, CurrentTime, 0}); }

void XClient::Map(Window window) {
    XMapWindow(display_, window);
    XFlush(display_);
}

void XClient::Resize(Window window, int width, int height) {
    XResizeWindow(display_, window, static_cast<unsigned>(width), static_cast<unsigned>(height));
    XFlush(display_);
}

void XClient::Move(Window window, int x, int y) {
    XMoveWindow(display_, window, x, y);
    XFlush(display_);
}

Window XClient::CreateWindow(const Rect& where, const char* title) {
    const Window window =
        XCreateSimpleWindow(display_, DefaultRootWindow(display_), where.x, where.y, static_cast<unsigned>(where.width),
                            static_cast<unsigned>(where.height), 0, 0, WhitePixel(display_, DefaultScreen(display_)));
    // Placed by the program, so that no window manager asks a person where.
    XSizeHints hints{};
    hints.flags = USPosition | USSize;
    hints.x = where.x;
    hints.y = where.y;
    hints.width = where.width;
    hints.height = where.height;
    XSetWMNormalHints(display_, window, &hints);
    XStoreName(display_, window, title);
    XChangeProperty(display_, window, Intern("_NET_WM_NAME"), Intern("UTF8_STRING"), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(title),
                    static_cast<int>(std::char_traits<char>::length(title)));
    XMapWindow(display_, window);
    XFlush(display_);
    return window;
}

void XClient::HoldWindowManagement() {
    XSelectInput(display_, DefaultRootWindow(display_), SubstructureRedirectMask);
    XSync(display_, False);
}

int XClient::ServeMapRequests(std::chrono::milliseconds period) {
    int requests = 0;
    const auto end = std::chrono::steady_clock::now() + period;
    while (std::chrono::steady_clock::now() < end) {
        while (XPending(display_) > 0) {
            XEvent event;
            XNextEvent(display_, &event);
            if (event.type == MapRequest) {
                XMapWindow(display_, event.xmaprequest.window);
                ++requests;
            }
        }
        XFlush(display_);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return requests;
}

void XClient::DestroyWindow(Window window) {
    XDestroyWindow(display_, window);
    XFlush(display_);
}

}  // namespace desktop
