#include "tests/desktop/x_client.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <cairo.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <thread>

namespace desktop {
namespace {

// A window can vanish between two requests about it (the program under test
// ends, the window manager unmaps it). Such errors answer the request with
// nothing, which the callers check for, instead of ending the test process.
int IgnoreXError(Display* /*display*/, XErrorEvent* /*error*/) { return 0; }

}  // namespace

void Picture::WritePng(const std::string& path) const {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    cairo_surface_flush(surface);
    auto* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < height; ++y) {
        std::memcpy(data + static_cast<std::ptrdiff_t>(y) * stride, &pixels[static_cast<std::size_t>(y) * width],
                    static_cast<std::size_t>(width) * 4);
    }
    cairo_surface_mark_dirty(surface);
    cairo_surface_write_to_png(surface, path.c_str());
    cairo_surface_destroy(surface);
}

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

std::vector<Window> XClient::Clients() {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(display_, DefaultRootWindow(display_), Intern("_NET_CLIENT_LIST"), 0, 1024, False, XA_WINDOW,
                       &type, &format, &count, &after, &data);
    const auto* windows = reinterpret_cast<const Window*>(data);
    std::vector<Window> clients(windows, windows + (data != nullptr ? count : 0));
    if (data != nullptr) {
        XFree(data);
    }
    return clients;
}

std::optional<Window> XClient::FindWindow(const std::string& titlePrefix) {
    for (const Window window : Clients()) {
        if (Title(window).starts_with(titlePrefix)) {
            return window;
        }
    }
    return std::nullopt;
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

bool XClient::HasState(Window window, const char* state) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(display_, window, Intern("_NET_WM_STATE"), 0, 64, False, XA_ATOM, &type, &format, &count, &after,
                       &data);
    bool has = false;
    const Atom wanted = Intern(state);
    const auto* atoms = reinterpret_cast<const Atom*>(data);
    for (unsigned long i = 0; i < count; ++i) {
        has = has || atoms[i] == wanted;
    }
    if (data != nullptr) {
        XFree(data);
    }
    return has;
}

bool XClient::Viewable(Window window) {
    XWindowAttributes attributes;
    return XGetWindowAttributes(display_, window, &attributes) != 0 && attributes.map_state == IsViewable;
}

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

Picture XClient::Capture(Window window) {
    Picture picture;
    const auto area = ClientArea(window);
    if (!area || area->width <= 0 || area->height <= 0) {
        return picture;
    }
    picture.width = area->width;
    picture.height = area->height;
    picture.pixels.assign(static_cast<std::size_t>(area->width) * area->height, kOffScreen);
    // Read from the root window, which may show only part of the window:
    // a window larger than the screen or moved off it cannot be read whole.
    const int screenWidth = DisplayWidth(display_, DefaultScreen(display_));
    const int screenHeight = DisplayHeight(display_, DefaultScreen(display_));
    const int left = std::max(area->x, 0);
    const int top = std::max(area->y, 0);
    const int right = std::min(area->x + area->width, screenWidth);
    const int bottom = std::min(area->y + area->height, screenHeight);
    if (right <= left || bottom <= top) {
        return picture;
    }
    XImage* image = XGetImage(display_, DefaultRootWindow(display_), left, top, static_cast<unsigned>(right - left),
                              static_cast<unsigned>(bottom - top), AllPlanes, ZPixmap);
    if (image == nullptr) {
        return picture;
    }
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            picture.pixels[static_cast<std::size_t>(y - area->y) * area->width + (x - area->x)] =
                static_cast<std::uint32_t>(XGetPixel(image, x - left, y - top)) & 0xFFFFFFU;
        }
    }
    XDestroyImage(image);
    return picture;
}

void XClient::Resize(Window window, int width, int height) {
    XResizeWindow(display_, window, static_cast<unsigned>(width), static_cast<unsigned>(height));
    XFlush(display_);
}

void XClient::Move(Window window, int x, int y) {
    XMoveWindow(display_, window, x, y);
    XFlush(display_);
}

}  // namespace desktop
