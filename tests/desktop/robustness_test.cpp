// What a desktop does to a window, and what goes wrong around it: resizing
// and state changes in any order, signals, a display that goes away, another
// client's doing, window managers that do not answer, and a long run.

#include <gtest/gtest.h>
#include <csignal>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <regex>
#include <thread>
#include <utility>

#include "tests/desktop/desktop_fixture.h"
#include "tests/desktop/ratio_title.h"

namespace desktop {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

using RobustnessTest = DesktopTest;
// The long ones, run by `make stress`.
using StressTest = DesktopTest;

TEST_F(StressTest, SurvivesTwoHundredWindowOperationsInRandomOrder) {
    auto program = StartProgram();
    const Window window = WaitForMaximisedWindow(*program);
    ASSERT_NE(window, None);

    std::mt19937 random(20261208);
    const std::pair<int, int> awkwardSizes[] = {{1, 1}, {2, 1}, {1, 2}, {kScreenWidth + 300, kScreenHeight + 200}};
    enum Operation { kResize, kAwkwardResize, kMaximise, kRestore, kMinimiseAndRestore, kMove, kOperations };
    for (int step = 0; step < 200; ++step) {
        const auto operation = static_cast<Operation>(random() % kOperations);
        SCOPED_TRACE("step " + std::to_string(step) + ", operation " + std::to_string(operation));
        switch (operation) {
            case kResize:
                x_.SetMaximised(window, false);
                x_.Resize(window, 1 + static_cast<int>(random() % 1600), 1 + static_cast<int>(random() % 1000));
                break;
            case kAwkwardResize: {
                const auto [w, h] = awkwardSizes[random() % std::size(awkwardSizes)];
                x_.SetMaximised(window, false);
                x_.Resize(window, w, h);
                break;
            }
            case kMaximise:
                x_.SetMaximised(window, true);
                break;
            case kRestore:
                x_.SetMaximised(window, false);
                break;
            case kMinimiseAndRestore:
                x_.Minimise(window);
                ASSERT_TRUE(WaitUntil([&] { return !x_.Viewable(window); }, kSettle));
                EXPECT_TRUE(IsRatioTitle(x_.Title(window), ".,")) << x_.Title(window);
                x_.Activate(window);
                ASSERT_TRUE(WaitUntil([&] { return x_.Viewable(window); }, kSettle));
                break;
            case kMove:
                x_.Move(window, static_cast<int>(random() % 1400) - 100, static_cast<int>(random() % 900) - 100);
                break;
            case kOperations:
                break;
        }
        // Settled: the size holds still and the picture fits it.
        std::optional<Rect> area;
        Picture picture;
        const bool settled = WaitUntil(
            [&] {
                const auto before = x_.ClientArea(window);
                std::this_thread::sleep_for(milliseconds(20));
                area = x_.ClientArea(window);
                if (!before || !area || before->width != area->width || before->height != area->height) {
                    return false;
                }
                picture = x_.Capture(window);
                return picture.width == area->width && picture.height == area->height && FigureFits(picture);
            },
            kSettle);
        ASSERT_TRUE(program->Running()) << program->Stderr();
        if (!settled) {
            KeepPicture(picture, "-step-" + std::to_string(step));
        }
        ASSERT_TRUE(settled) << "no figure fitted to " << (area ? area->width : -1) << " x "
                             << (area ? area->height : -1);
        EXPECT_TRUE(IsRatioTitle(x_.Title(window), ".,")) << x_.Title(window);
    }
    x_.RequestClose(window);
    EXPECT_EQ(program->WaitExit(seconds(5)), 0);
}

TEST_F(RobustnessTest, EndsWithTheErrorLineWhenTheDisplayGoesAway) {
    auto program = StartProgram();
    ASSERT_NE(WaitForMaximisedWindow(*program), None);
    x_.Abandon();
    desktop_.KillServer();
    const auto status = program->WaitExit(seconds(2));
    ASSERT_TRUE(status) << "still running 2 s after the display went away";
    // Ended by exit, not by a signal or a core dump.
    EXPECT_EQ(*status, 1);
    EXPECT_TRUE(std::regex_match(program->Stderr(),
                                 std::regex("pentagram: run-time error: lost the connection to the X display "
                                            "':[0-9]+': the server closed it or the connection broke\n")))
        << program->Stderr();
}

TEST_F(RobustnessTest, SignalsEndItWithinTwoHundredMillisecondsRunningOrMinimised) {
    for (const bool minimised : {false, true}) {
        for (const int signal : {SIGINT, SIGTERM}) {
            SCOPED_TRACE(std::string(minimised ? "minimised, " : "running, ") + "signal " + std::to_string(signal));
            auto program = StartProgram();
            const Window window = WaitForMaximisedWindow(*program);
            ASSERT_NE(window, None);
            if (minimised) {
                x_.Minimise(window);
                ASSERT_TRUE(WaitUntil([&] { return !x_.Viewable(window); }, kSettle));
            }
            const auto sent = Clock::now();
            program->Signal(signal);
            EXPECT_EQ(program->WaitExit(seconds(2)), 0);
            EXPECT_LE(Clock::now() - sent, milliseconds(200));
            EXPECT_TRUE(WaitUntil([&] { return !x_.FindWindow(kTitlePrefix); }, kSettle)) << "the window stayed";
        }
    }
}

// The D-Bus daemons started on demand for a display (dbus-launch's
// autolaunch), which outlive the program that asked and the display both.
int AutolaunchedBuses() {
    int buses = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        std::ifstream file(entry.path() / "cmdline");
        std::string command((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        std::replace(command.begin(), command.end(), '\0', ' ');
        buses +=
            command.find("dbus-daemon") != std::string::npos && command.find("--print-address") != std::string::npos
                ? 1
                : 0;
    }
    return buses;
}

TEST_F(RobustnessTest, InASessionWithoutABusItStartsNone) {
    const int before = AutolaunchedBuses();
    auto program = StartProgram({{"DBUS_SESSION_BUS_ADDRESS", std::nullopt}});
    const Window window = WaitForMaximisedWindow(*program);
    ASSERT_NE(window, None);
    x_.RequestClose(window);
    EXPECT_EQ(program->WaitExit(seconds(2)), 0) << program->Stderr();
    std::this_thread::sleep_for(milliseconds(500));
    EXPECT_EQ(AutolaunchedBuses(), before) << "a session bus was started for it and left behind";
}

// Another client destroys the program's window under it: the program's next
// request on it fails, and the run-time error names the request and the
// error as X names them, on stderr and in the box, which ends it once closed.
TEST_F(RobustnessTest, AnXErrorIsARunTimeErrorThatNamesTheRequestAndTheError) {
    auto program = StartProgram();
    const Window window = WaitForMaximisedWindow(*program);
    ASSERT_NE(window, None);
    x_.DestroyWindow(window);
    const std::regex report(
        "^pentagram: run-time error: the X server refused a request of the window's: Bad(Window|Drawable) in "
        "[A-Z][A-Za-z]+\n$");
    EXPECT_TRUE(WaitUntil([&] { return std::regex_search(program->Stderr(), report); }, kSettle)) << program->Stderr();
    std::optional<Window> box;
    ASSERT_TRUE(WaitUntil([&] { return (box = x_.FindWindow("pentagram")).has_value(); }, kAppear))
        << "no message box; windows: " << x_.DescribeClients();
    x_.RequestClose(*box);
    EXPECT_EQ(program->WaitExit(seconds(5)), 1);
}

TEST_F(StressTest, ResidentMemoryStaysFlatOverAMinute) {
    auto program = StartProgram();
    const Window window = WaitForMaximisedWindow(*program);
    ASSERT_NE(window, None);
    std::this_thread::sleep_for(seconds(5));
    const long settled = ResidentKilobytes(program->Pid());
    std::this_thread::sleep_for(seconds(55));
    const long after = ResidentKilobytes(program->Pid());
    ASSERT_TRUE(program->Running());
    EXPECT_LE(after - settled, 1024) << "kB at 5 s: " << settled << ", at 60 s: " << after;
}

// A bare X server, with no window manager to write a default icon: the
// window carries its own, at the sides task lists use.
class BareServerTest : public DesktopTest {
protected:
    BareServerTest() : DesktopTest({}, nullptr) {}
};

TEST_F(BareServerTest, TheWindowCarriesItsOwnIconAtTheSidesTaskListsUse) {
    auto program = StartProgram();
    std::optional<Window> window;
    ASSERT_TRUE(WaitUntil([&] { return (window = x_.FindTopLevel(kTitlePrefix)).has_value(); }, kAppear));
    const std::vector<long> icon = x_.Cardinals(*window, "_NET_WM_ICON");
    std::vector<long> sides;
    for (std::size_t at = 0; at + 2 <= icon.size(); at += 2 + static_cast<std::size_t>(icon[at] * icon[at + 1])) {
        EXPECT_EQ(icon[at], icon[at + 1]) << "a square icon";
        ASSERT_LE(at + 2 + static_cast<std::size_t>(icon[at] * icon[at + 1]), icon.size()) << "pixels cut short";
        sides.push_back(icon[at]);
    }
    for (const long side : {16, 32, 48, 64}) {
        EXPECT_NE(std::find(sides.begin(), sides.end(), side), sides.end()) << "no icon of " << side;
    }
}

// A window manager that maps windows but never says it took them on (no
// WM_STATE): the window is given to it again a few times, then left as it
// is, mapped, and the program runs on.
class StatelessWindowManagerTest : public DesktopTest {
protected:
    StatelessWindowManagerTest() : DesktopTest({}, nullptr) { x_.HoldWindowManagement(); }
};

TEST_F(StatelessWindowManagerTest, IsGivenTheWindowAFewTimesAndThenLeftAlone) {
    auto program = StartProgram();
    const int requests = x_.ServeMapRequests(seconds(6));
    EXPECT_GE(requests, 1);
    EXPECT_LE(requests, 4) << "the window was withdrawn and mapped again without end";
    EXPECT_TRUE(program->Running()) << program->Stderr();
}

// A window manager that takes the screen over and never maps a window, as
// one that hangs while it starts: the program waits a bounded time, SIGTERM
// ends the wait at once, and the end of the wait is a run-time error.
class SilentWindowManagerTest : public DesktopTest {
protected:
    SilentWindowManagerTest() : DesktopTest({}, nullptr) { x_.HoldWindowManagement(); }
};

TEST_F(SilentWindowManagerTest, SigtermEndsTheWaitAndTheWaitEndsWithAReport) {
    auto signalled = StartProgram();
    std::this_thread::sleep_for(milliseconds(1000));
    ASSERT_TRUE(signalled->Running()) << signalled->Stderr();
    const auto sent = Clock::now();
    signalled->Signal(SIGTERM);
    EXPECT_EQ(signalled->WaitExit(seconds(2)), 0) << signalled->Stderr();
    EXPECT_LE(Clock::now() - sent, milliseconds(200));

    auto waiting = StartProgram();
    ASSERT_TRUE(WaitUntil([&] { return !waiting->Stderr().empty(); }, seconds(20))) << "no report after 20 s";
    EXPECT_TRUE(std::regex_match(waiting->Stderr(),
                                 std::regex("pentagram: run-time error: cannot show the window: the window manager did "
                                            "not map it within 10 s of asking [0-9]+ times\n")))
        << waiting->Stderr();
}

}  // namespace
}  // namespace desktop
