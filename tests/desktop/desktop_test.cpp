// The program as a person meets it: a real window on a virtual desktop with
// a window manager, looked at through screenshots and driven by clicks and
// window-manager requests.

#include <gtest/gtest.h>
#include <csignal>

#include <algorithm>
#include <thread>

#include "tests/desktop/desktop_fixture.h"
#include "tests/desktop/ratio_title.h"

namespace desktop {
namespace {

using std::chrono::seconds;

TEST_F(DesktopTest, ComesUpMaximisedWithTheRatioTitleAndTheFigureCentred) {
    auto program = StartProgram();
    const Window window = WaitForMaximisedWindow(*program);
    ASSERT_NE(window, None);

    EXPECT_TRUE(IsRatioTitle(x_.Title(window))) << x_.Title(window);
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
        // A person clicks on the figure they see: wait until it is on the screen.
        (void)CaptureFitted(window, area->width, area->height);
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
    (void)CaptureFitted(window, area->width, area->height);
    x_.Click(area->x + area->width / 3, area->y + area->height / 3);
    EXPECT_EQ(program->WaitExit(seconds(1)), 0) << program->Stderr();
    EXPECT_EQ(program->Stderr(), "");
}

TEST_F(DesktopTest, ItAnswersTheWindowManagersPingAndClosingThroughTheWindowManagerEndsIt) {
    auto program = StartProgram();
    const Window window = WaitForMaximisedWindow(*program);
    ASSERT_NE(window, None);
    EXPECT_TRUE(x_.AnswersPing(window));
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

// The title is set every frame, hundreds of frames a second; the window
// manager hears of a change at most once a refresh, yet keeps up with it.
TEST_F(DesktopTest, TheWindowManagerHearsOfTitleChangesAtMostOnceARefresh) {
    auto program = StartProgram();
    const Window window = WaitForMaximisedWindow(*program);
    ASSERT_NE(window, None);
    const auto titles = x_.WatchTitle(window, milliseconds(2000));
    EXPECT_LE(titles.size(), 2 * 120U) << "more than 120 title changes a second";
    EXPECT_GE(titles.size(), 2U) << "the title stopped changing";
    for (const auto& title : titles) {
        EXPECT_TRUE(title.starts_with(kTitlePrefix)) << title;
    }
    x_.RequestClose(window);
    EXPECT_EQ(program->WaitExit(seconds(2)), 0) << program->Stderr();
}

}  // namespace
}  // namespace desktop
