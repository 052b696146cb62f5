// What the program's window costs the X server, counted as a compositor
// counts it: the pictures that reach the window (DamageNotify, each damage
// taken away once told, as compositing managers do), and the X server's
// share of a core meanwhile. Waits for a window titled with the ratio, then
// counts for the given seconds or until the window goes, and prints
// "pictures/s cpu% WIDTHxHEIGHT", the last the window's size.
//
//   pentagram_picture_count X_SERVER_PID SECONDS

#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "tests/support/process_readings.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr const char* kTitlePrefix = "Fii on suunnilleen ";

struct DisplayCloser {
    void operator()(Display* display) const { XCloseDisplay(display); }
};

std::string Title(Display* display, Window window) {
    char* name = nullptr;
    std::string title;
    if (XFetchName(display, window, &name) != 0 && name != nullptr) {
        title = name;
        XFree(name);
    }
    return title;
}

// The first window under this one, depth first, with the ratio title.
std::optional<Window> FindRatioWindow(Display* display, Window under) {
    Window root = None;
    Window parent = None;
    Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display, under, &root, &parent, &children, &count) == 0) {
        return std::nullopt;
    }
    std::optional<Window> found;
    for (unsigned int i = 0; i < count && !found; ++i) {
        found = Title(display, children[i]).starts_with(kTitlePrefix) ? std::optional(children[i])
                                                                      : FindRatioWindow(display, children[i]);
    }
    if (children != nullptr) {
        XFree(children);
    }
    return found;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: pentagram_picture_count X_SERVER_PID SECONDS\n");
        return 2;
    }
    const pid_t server = std::atoi(argv[1]);
    const auto seconds = std::chrono::duration<double>(std::atof(argv[2]));
    const std::unique_ptr<Display, DisplayCloser> display(XOpenDisplay(nullptr));
    int eventBase = 0;
    int errorBase = 0;
    if (!display || XDamageQueryExtension(display.get(), &eventBase, &errorBase) == 0) {
        std::fprintf(stderr, "pentagram_picture_count: no display with the Damage extension\n");
        return 1;
    }
    // Windows come and go while they are looked at: a window gone is no error.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    std::optional<Window> window;
    for (const auto giveUp = Clock::now() + std::chrono::seconds(20); !window && Clock::now() < giveUp;) {
        window = FindRatioWindow(display.get(), DefaultRootWindow(display.get()));
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (!window) {
        std::fprintf(stderr, "pentagram_picture_count: no window with the ratio title\n");
        return 1;
    }
    XWindowAttributes attributes{};
    XGetWindowAttributes(display.get(), *window, &attributes);
    // A window that goes before the seconds are up ends the count.
    XSelectInput(display.get(), *window, StructureNotifyMask);
    const Damage damage = XDamageCreate(display.get(), *window, XDamageReportNonEmpty);
    XSync(display.get(), False);
    bool gone = false;
    long pictures = 0;
    const long ticksBefore = testing_support::CpuTicks(server);
    const auto start = Clock::now();
    while (!gone && Clock::now() - start < seconds) {
        while (XPending(display.get()) != 0) {
            XEvent event;
            XNextEvent(display.get(), &event);
            gone = gone || event.type == DestroyNotify || event.type == UnmapNotify;
            if (event.type == eventBase + XDamageNotify) {
                ++pictures;
                XDamageSubtract(display.get(), damage, None, None);
            }
        }
        pollfd connection{ConnectionNumber(display.get()), POLLIN, 0};
        (void)poll(&connection, 1, 5);
    }
    const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    // The size it has come to, maximised, where it is still there.
    XGetWindowAttributes(display.get(), *window, &attributes);
    const long ticks = testing_support::CpuTicks(server) - ticksBefore;
    std::printf("%.0f %.0f %dx%d\n", static_cast<double>(pictures) / elapsed,
                100.0 * static_cast<double>(ticks) / static_cast<double>(sysconf(_SC_CLK_TCK)) / elapsed,
                attributes.width, attributes.height);
    return 0;
}
