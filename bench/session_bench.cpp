// What a person notices beside the frame rate, on the display in DISPLAY
// (bench/windowed_bench.sh starts Xvfb and openbox): how long the program
// takes from its start to the first frame with the ratio title, beside the
// straightforward loop in the same run; how long from a click to its exit;
// its peak resident memory; whether that stays flat over a long run; and
// its CPU use while minimised.
//
//   pentagram_session_bench PROGRAM PLAIN_BENCH [SECONDS]
//   pentagram_session_bench --brief PROGRAM
//
// The brief form, for comparing desktops, prints one line: the median start
// to first ratio title of three starts in ms, and the CPU share while
// minimised in percent of one core.
//
// PLAIN_BENCH is pentagram_windowed_bench, run as "plain-start 200": a
// window, the figure and the title every frame from the start, no more. SECONDS is the length of
// the long run (60).

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/process_readings.h"

namespace {

using std::chrono::milliseconds;
using testing_support::Clock;
using testing_support::Process;

constexpr int kStarts = 5;
constexpr const char* kTitlePrefix = "Fii on suunnilleen ";

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "pentagram_session_bench: %s\n", what.c_str());
    std::exit(1);
}

double Milliseconds(Clock::duration duration) { return std::chrono::duration<double, std::milli>(duration).count(); }

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct DisplayCloser {
    void operator()(Display* display) const { XCloseDisplay(display); }
};
using DisplayHandle = std::unique_ptr<Display, DisplayCloser>;

// Watches the display for a new top-level window with the ratio title.
class TitleWatch {
public:
    explicit TitleWatch(Display* display)
        : display_(display),
          name_(XInternAtom(display, "_NET_WM_NAME", False)),
          utf8_(XInternAtom(display, "UTF8_STRING", False)) {
        XSelectInput(display_, DefaultRootWindow(display_), SubstructureNotifyMask);
        XSync(display_, False);
        // Nothing from before this watch counts.
        while (XPending(display_) != 0) {
            XEvent event;
            XNextEvent(display_, &event);
        }
    }
    ~TitleWatch() {
        XSelectInput(display_, DefaultRootWindow(display_), NoEventMask);
        XSync(display_, False);
    }
    TitleWatch(const TitleWatch&) = delete;
    TitleWatch& operator=(const TitleWatch&) = delete;

    // The window, once its title starts with the ratio text.
    std::optional<Window> WaitForRatioTitle(milliseconds patience) {
        const auto end = Clock::now() + patience;
        while (Clock::now() < end) {
            while (XPending(display_) != 0) {
                XEvent event;
                XNextEvent(display_, &event);
                Window window = None;
                if (event.type == CreateNotify) {
                    window = event.xcreatewindow.window;
                    XSelectInput(display_, window, PropertyChangeMask);
                    XSync(display_, False);
                } else if (event.type == PropertyNotify && event.xproperty.atom == name_) {
                    window = event.xproperty.window;
                }
                if (window != None && Title(window).starts_with(kTitlePrefix)) {
                    return window;
                }
            }
            pollfd connection{ConnectionNumber(display_), POLLIN, 0};
            (void)poll(&connection, 1, 5);
        }
        return std::nullopt;
    }

private:
    std::string Title(Window window) {
        Atom type = None;
        int format = 0;
        unsigned long count = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        std::string title;
        if (XGetWindowProperty(display_, window, name_, 0, 256, False, utf8_, &type, &format, &count, &after, &data) ==
                Success &&
            data != nullptr) {
            title.assign(reinterpret_cast<const char*>(data), count);
        }
        if (data != nullptr) {
            XFree(data);
        }
        return title;
    }

    Display* display_;
    Atom name_;
    Atom utf8_;
};

// Milliseconds from starting the command to its first ratio title.
double StartToTitle(Display* display, const std::vector<std::string>& command, std::unique_ptr<Process>& child,
                    Window& window) {
    TitleWatch watch(display);
    const auto start = Clock::now();
    child = std::make_unique<Process>(command, Process::Environment{});
    const auto found = watch.WaitForRatioTitle(milliseconds(10000));
    const auto shown = Clock::now();
    if (!found) {
        Fail("no ratio title from " + command[0]);
    }
    window = *found;
    return Milliseconds(shown - start);
}

// A click in the middle of the screen, where the maximised window is.
void ClickMiddle(Display* display) {
    const int x = DisplayWidth(display, DefaultScreen(display)) / 2;
    const int y = DisplayHeight(display, DefaultScreen(display)) / 2;
    XTestFakeMotionEvent(display, -1, x, y, CurrentTime);
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    XTestFakeButtonEvent(display, 1, False, CurrentTime);
    XSync(display, False);
}

double CpuSeconds(pid_t pid) {
    return static_cast<double>(testing_support::CpuTicks(pid)) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// Waits for the program to end of itself; its exit status.
int WaitExit(Process& child) {
    const auto status = child.WaitExit(std::chrono::seconds(10));
    if (!status) {
        Fail("the program did not end");
    }
    return *status;
}

// The CPU share of one core the program uses over a few seconds once its
// window is minimised.
double MinimisedShare(Display* display, Window window, pid_t pid) {
    XIconifyWindow(display, window, DefaultScreen(display));
    XSync(display, False);
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const double cpuBefore = CpuSeconds(pid);
    constexpr double kMinimisedSeconds = 5;
    std::this_thread::sleep_for(std::chrono::duration<double>(kMinimisedSeconds));
    return (CpuSeconds(pid) - cpuBefore) / kMinimisedSeconds;
}

int Brief(Display* display, const std::string& program) {
    constexpr int kBriefStarts = 3;
    std::vector<double> starts;
    for (int round = 0; round < kBriefStarts; ++round) {
        std::unique_ptr<Process> child;
        Window window = None;
        starts.push_back(StartToTitle(display, {program}, child, window));
        std::this_thread::sleep_for(milliseconds(700));
        ClickMiddle(display);
        if (WaitExit(*child) != 0) {
            Fail("the program did not end on a click");
        }
    }
    std::unique_ptr<Process> child;
    Window window = None;
    (void)StartToTitle(display, {program}, child, window);
    std::this_thread::sleep_for(milliseconds(700));
    const double minimised = MinimisedShare(display, window, child->Pid());
    child->Signal(SIGTERM);
    (void)WaitExit(*child);
    std::printf("%.1f %.2f\n", Median(starts), 100 * minimised);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: pentagram_session_bench PROGRAM PLAIN_BENCH [SECONDS] | --brief PROGRAM\n");
        return 2;
    }
    if (std::string(argv[1]) == "--brief") {
        const DisplayHandle display(XOpenDisplay(nullptr));
        if (!display) {
            Fail("cannot open the display");
        }
        return Brief(display.get(), argv[2]);
    }
    const std::string program = argv[1];
    const std::vector<std::string> plain = {argv[2], "plain-start", "200"};
    const int longRun = argc == 4 ? std::stoi(argv[3]) : 60;
    const DisplayHandle display(XOpenDisplay(nullptr));
    if (!display) {
        Fail("cannot open the display");
    }

    // Starts, interleaved: the program, ended by a click, and the plain loop.
    std::vector<double> programStarts;
    std::vector<double> plainStarts;
    std::vector<double> clicks;
    long peakKilobytes = 0;
    for (int round = 0; round < kStarts; ++round) {
        std::unique_ptr<Process> child;
        Window window = None;
        programStarts.push_back(StartToTitle(display.get(), {program}, child, window));
        // Settled, as a person would be before clicking.
        std::this_thread::sleep_for(milliseconds(700));
        const auto click = Clock::now();
        ClickMiddle(display.get());
        const int status = WaitExit(*child);
        clicks.push_back(Milliseconds(Clock::now() - click));
        if (status != 0) {
            Fail("the program ended with status " + std::to_string(status));
        }
        peakKilobytes = std::max(peakKilobytes, child->PeakResidentKilobytes());

        plainStarts.push_back(StartToTitle(display.get(), plain, child, window));
        (void)WaitExit(*child);
    }

    // The long run: resident memory after 5 s and at the end, then minimised.
    std::unique_ptr<Process> child;
    Window window = None;
    (void)StartToTitle(display.get(), {program}, child, window);
    std::this_thread::sleep_for(std::chrono::seconds(5));
    const long early = testing_support::ResidentKilobytes(child->Pid());
    std::this_thread::sleep_for(std::chrono::seconds(longRun - 5));
    const long late = testing_support::ResidentKilobytes(child->Pid());
    const double minimisedShare = MinimisedShare(display.get(), window, child->Pid());
    child->Signal(SIGTERM);
    const int status = WaitExit(*child);
    if (status != 0) {
        Fail("the program ended with status " + std::to_string(status) + " after SIGTERM");
    }
    peakKilobytes = std::max(peakKilobytes, child->PeakResidentKilobytes());

    const double programStart = Median(programStarts);
    const double plainStart = Median(plainStarts);
    std::printf("session under Xvfb+openbox; medians of %d interleaved starts\n", kStarts);
    std::printf("%-52s %10s %12s\n", "measure", "figure", "target");
    std::printf("%-52s %8.1f ms %12s\n", "start to first ratio title, program", programStart, "<= 60 ms");
    std::printf("%-52s %8.1f ms %12s\n", "start to first ratio title, straightforward loop", plainStart, "");
    std::printf("%-52s %9.2fx %12s\n", "  program / straightforward", programStart / plainStart, "");
    std::printf("%-52s %8.1f ms %12s\n", "click to exit", Median(clicks), "<= 20 ms");
    std::printf("%-52s %8.1f MB %12s\n", "peak resident memory", static_cast<double>(peakKilobytes) / 1024, "<= 40 MB");
    std::printf("%-52s %8.2f MB %12s\n", ("resident memory growth, 5 s to " + std::to_string(longRun) + " s").c_str(),
                static_cast<double>(late - early) / 1024, "flat");
    std::printf("%-52s %9.2f %% %12s\n", "CPU while minimised, of one core", 100 * minimisedShare, "<= 2 %");
    return 0;
}
