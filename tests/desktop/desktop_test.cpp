// The program as a person meets it: a real window on a virtual desktop with
// a window manager, looked at through screenshots and driven by clicks and
// window-manager requests.

#include <gtest/gtest.h>
#include <signal.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

#include "tests/desktop/x_session.h"

namespace desktop {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

constexpr int kScreenWidth = 1280;
constexpr int kScreenHeight = 800;
constexpr std::uint32_t kBlack = 0x000000;
constexpr auto kAppear = seconds(10);
constexpr auto kSettle = seconds(5);
const char* const kTitlePrefix = "Fii on suunnilleen ";

bool IsRedDominant(std::uint32_t pixel) {
    const auto red = (pixel >> 16) & 0xFFU;
    const auto green = (pixel >> 8) & 0xFFU;
    const auto blue = pixel & 0xFFU;
    return red >= 0x80 && green < 0x40 && blue < 0x40;
}

// True if some pixel within the square around (x, y) is red.
bool RedNear(const Picture& picture, int x, int y, int reach = 2) {
    for (int dy = -reach; dy <= reach; ++dy) {
        for (int dx = -reach; dx <= reach; ++dx) {
            const int px = x + dx;
            const int py = y + dy;
            if (px >= 0 && py >= 0 && px < picture.width && py < picture.height && IsRedDominant(picture.At(px, py))) {
                return true;
            }
        }
    }
    return false;
}

// The CPU time the process has used, in clock ticks.
long CpuTicks(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    long user = 0;
    long system = 0;
    for (int index = 3; fields >> field; ++index) {
        if (index == 14) {
            user = std::stol(field);
        } else if (index == 15) {
            system = std::stol(field);
            break;
        }
    }
    return user + system;
}

class DesktopTest : public testing::Test {
protected:
    DesktopTest() : desktop_(kScreenWidth, kScreenHeight), x_(desktop_.Display()) {}

    std::unique_ptr<Process> StartProgram() {
        return std::make_unique<Process>(std::vector<std::string>{PENTAGRAM_PROGRAM},
                                         std::map<std::string, std::optional<std::string>>{
                                             {"DISPLAY", desktop_.Display()}, {"LC_ALL", "C"}});
    }

    // The program's window once it shows the ratio title and is maximised.
    Window WaitForMaximisedWindow(Process& program) {
        std::optional<Window> window;
        EXPECT_TRUE(WaitUntil([&] { return (window = x_.FindWindow(kTitlePrefix)).has_value(); }, kAppear))
            << "no window titled '" << kTitlePrefix << "...' appeared; the program is "
            << (program.Running() ? "running" : "gone") << ", windows: " << x_.DescribeClients()
            << ", stderr: " << program.Stderr();
        if (!window) {
            return None;
        }
        EXPECT_TRUE(WaitUntil([&] { return IsMaximised(*window); }, kSettle)) << "the window is not maximised";
        return *window;
    }

    bool IsMaximised(Window window) {
        return x_.HasState(window, "_NET_WM_STATE_MAXIMIZED_VERT") &&
               x_.HasState(window, "_NET_WM_STATE_MAXIMIZED_HORZ");
    }

    // A screenshot of the client area once it has the size and the program
    // has drawn a figure fitted to it.
    Picture CaptureFitted(Window window, int width, int height) {
        Picture picture;
        const bool fitted = WaitUntil(
            [&] {
                const auto area = x_.ClientArea(window);
                if (!area || area->width != width || area->height != height) {
                    return false;
                }
                picture = x_.Capture(window);
                return picture.width == width && RedNear(picture, width / 2, 0) &&
                       RedNear(picture, width / 2, height - 1);
            },
            kSettle);
        if (!fitted) {
            std::filesystem::create_directories(PENTAGRAM_ARTIFACTS);
            picture.WritePng(std::string(PENTAGRAM_ARTIFACTS) + "/" +
                             testing::UnitTest::GetInstance()->current_test_info()->name() + ".png");
        }
        EXPECT_TRUE(fitted) << "no figure fitted to " << width << " x " << height;
        return picture;
    }

    VirtualDesktop desktop_;
    XClient x_;
};

TEST_F(DesktopTest, ComesUpMaximisedWithTheRatioTitleAndTheFigureCentred) {
    auto program = StartProgram();
    const Window window = WaitForMaximisedWindow(*program);
    ASSERT_NE(window, None);

    EXPECT_TRUE(std::regex_match(x_.Title(window), std::regex(R"(Fii on suunnilleen 1\.6180339887(4989|499))")))
        << x_.Title(window);
    const auto area = x_.ClientArea(window);
    ASSERT_TRUE(area);
    EXPECT_EQ(area->width, kScreenWidth);

    const Picture picture = CaptureFitted(window, area->width, area->height);
    if (std::getenv("PENTAGRAM_SCREENSHOT") != nullptr) {
        picture.WritePng(std::getenv("PENTAGRAM_SCREENSHOT"));
    }
    const int cx = area->width / 2;
    const int cy = area->height / 2;
    const int radius = std::min(area->width, area->height) / 2;
    // The circle touches the top and bottom and stands centred between the sides.
    EXPECT_TRUE(RedNear(picture, cx, 1));
    EXPECT_TRUE(RedNear(picture, cx, area->height - 2));
    EXPECT_TRUE(RedNear(picture, cx - radius, cy));
    EXPECT_TRUE(RedNear(picture, cx + radius, cy));
    EXPECT_FALSE(RedNear(picture, cx - radius - 8, cy));
    EXPECT_FALSE(RedNear(picture, cx + radius + 8, cy));
    // Inside the pentagram and outside the circle is background.
    EXPECT_EQ(picture.At(cx, cy), kBlack);
    EXPECT_EQ(picture.At(0, 0), kBlack);
    EXPECT_EQ(picture.At(area->width - 1, area->height - 1), kBlack);
}

TEST_F(DesktopTest, ComesUpMaximisedEveryTime) {
    for (int start = 0; start < 20; ++start) {
        auto program = StartProgram();
        const Window window = WaitForMaximisedWindow(*program);
        ASSERT_NE(window, None) << "start " << start;
        const auto area = x_.ClientArea(window);
        ASSERT_TRUE(area);
        EXPECT_EQ(area->width, kScreenWidth) << "start " << start;
        x_.Click(area->x + 5, area->y + 5);
        ASSERT_EQ(program->WaitExit(seconds(5)), 0) << "start " << start;
        ASSERT_TRUE(WaitUntil([&] { return !x_.FindWindow(kTitlePrefix); }, kSettle));
    }
}

TEST_F(DesktopTest, AClickEndsItWithinASecond) {
    auto program = StartProgram();
    const Window window = WaitForMaximisedWindow(*program);
    ASSERT_NE(window, None);
    const auto area = x_.ClientArea(window);
    ASSERT_TRUE(area);
    x_.Click(area->x + area->width / 3, area->y + area->height / 3);
    EXPECT_EQ(program->WaitExit(seconds(1)), 0) << program->Stderr();
    EXPECT_EQ(program->Stderr(), "");
}

TEST_F(DesktopTest, ClosingThroughTheWindowManagerEndsIt) {
    auto program = StartProgram();
    const Window window = WaitForMaximisedWindow(*program);
    ASSERT_NE(window, None);
    x_.RequestClose(window);
    EXPECT_EQ(program->WaitExit(seconds(2)), 0) << program->Stderr();
}

TEST_F(DesktopTest, SignalsEndItCleanly) {
    for (const int signal : {SIGINT, SIGTERM}) {
        auto program = StartProgram();
        ASSERT_NE(WaitForMaximisedWindow(*program), None);
        program->Signal(signal);
        EXPECT_EQ(program->WaitExit(seconds(2)), 0) << "signal " << signal;
        EXPECT_TRUE(WaitUntil([&] { return !x_.FindWindow(kTitlePrefix); }, kSettle)) << "the window stayed";
    }
}

TEST_F(DesktopTest, RestoringFitsTheFigureToTheNormalClientArea) {
    auto program = StartProgram();
    const Window window = WaitForMaximisedWindow(*program);
    ASSERT_NE(window, None);
    x_.SetMaximised(window, false);
    ASSERT_TRUE(WaitUntil([&] { return !IsMaximised(window); }, kSettle));

    // 4680 x 3195 twips: radius 106.5 around (156, 106.5).
    const Picture picture = CaptureFitted(window, 312, 213);
    EXPECT_TRUE(RedNear(picture, 50, 106));
    EXPECT_TRUE(RedNear(picture, 262, 106));
    EXPECT_FALSE(RedNear(picture, 40, 106));
    EXPECT_FALSE(RedNear(picture, 272, 106));
    EXPECT_EQ(picture.At(156, 106), kBlack);
    EXPECT_TRUE(program->Running());
}

TEST_F(DesktopTest, MinimisedItRestsAndRestoredItTurnsOn) {
    auto program = StartProgram();
    const Window window = WaitForMaximisedWindow(*program);
    ASSERT_NE(window, None);
    x_.Minimise(window);
    ASSERT_TRUE(WaitUntil([&] { return !x_.Viewable(window); }, kSettle));

    // A loop that kept drawing would use a whole core; resting, it uses
    // next to nothing. CPU time, unlike wall time, does not depend on how
    // busy the machine is.
    const long before = CpuTicks(program->Pid());
    std::this_thread::sleep_for(seconds(1));
    const long used = CpuTicks(program->Pid()) - before;
    EXPECT_LT(used, sysconf(_SC_CLK_TCK) / 10) << "ticks used in one second while minimised";
    EXPECT_TRUE(program->Running());

    x_.Activate(window);
    ASSERT_TRUE(WaitUntil([&] { return x_.Viewable(window); }, kSettle));
    const auto area = x_.ClientArea(window);
    ASSERT_TRUE(area);
    const Picture first = CaptureFitted(window, area->width, area->height);
    EXPECT_TRUE(WaitUntil([&] { return x_.Capture(window).pixels != first.pixels; }, kSettle))
        << "the figure does not turn after restoring";
}

TEST(DesktopWithoutDisplayTest, ReportsTheMissingDisplayAndExitsWithOne) {
    for (const std::optional<std::string>& display :
         {std::optional<std::string>{}, std::optional<std::string>{":4242"}}) {
        Process program({PENTAGRAM_PROGRAM}, {{"DISPLAY", display}});
        EXPECT_EQ(program.WaitExit(seconds(10)), 1);
        const std::string report = program.Stderr();
        EXPECT_TRUE(report.starts_with("pentagram: run-time error: cannot open the window: ")) << report;
        EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 1) << report;
    }
}

}  // namespace
}  // namespace desktop
