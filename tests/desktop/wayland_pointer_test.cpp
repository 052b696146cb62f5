// The pointer under sway, with a second output right of the first: the
// arrow over the window at the scale of the output it is on, and a press
// dragged onto the other output, which is no click.

#include <gtest/gtest.h>

#include <string>

#include "tests/desktop/wayland_fixture.h"
#include "tests/desktop/wayland_log.h"

namespace desktop {
namespace {

// The pointer shows the desktop's arrow on every entry into the window,
// set with that entry's serial, drawn at the scale of the output the window
// is on: twice the pixels once the window has moved to an output at scale 2.
TEST_F(WaylandTest, ThePointerShowsTheArrowAtTheScaleOfTheOutputTheWindowIsOn) {
    const std::string second = session_.AddOutput(2);
    auto program = StartProgram({{"WAYLAND_DEBUG", "1"}});
    const SwayWindow first = WaitForWindow(*program);
    const auto cursors = [&](int entries) {
        return WaitUntil(
            [&] {
                const WaylandLog log = WaylandLog::Read(program->Stderr());
                return log.pointerEntries >= entries && log.pointerEntriesWithACursor == log.pointerEntries;
            },
            kSettle);
    };
    session_.MovePointer(first.content.x + first.content.width / 2, first.content.y + first.content.height / 2);
    EXPECT_TRUE(cursors(1)) << "no arrow for the pointer's entry";
    ASSERT_LT(first.content.x, 1280) << "the window opened on " << second;
    session_.Command("[pid=" + std::to_string(program->Pid()) + "] move to output " + second);
    std::optional<SwayWindow> moved;
    ASSERT_TRUE(WaitUntil(
        [&] {
            moved = session_.FindWindow("pentagram", program->Pid());
            return moved && moved->content.x >= 1280;
        },
        kSettle))
        << "the window did not move to " << second;
    session_.MovePointer(moved->content.x + moved->content.width / 2, moved->content.y + moved->content.height / 2);
    EXPECT_TRUE(cursors(2)) << "no arrow for the pointer's entry on " << second;
    EXPECT_TRUE(WaitUntil(
        [&] {
            const WaylandLog log = WaylandLog::Read(program->Stderr());
            return log.cursorImages.size() >= 2 && log.cursorImages.back().width == 2 * log.cursorImages[0].width &&
                   log.cursorImages.back().height == 2 * log.cursorImages[0].height;
        },
        kSettle))
        << "the arrow is not drawn at twice the pixels on the output at scale 2";
    EXPECT_TRUE(program->Running());
}

// A press on the window released on the other output is no click, though
// the compositor tells the pointer's leaving only after the release; the
// program runs on, and a click then ends it.
TEST_F(WaylandTest, APressReleasedOnTheOtherOutputIsNoClickAndAClickThenEndsIt) {
    (void)session_.AddOutput(1);
    auto program = StartProgram();
    const SwayWindow window = WaitForWindow(*program);
    const int x = window.content.x + window.content.width / 2;
    const int y = window.content.y + window.content.height / 2;
    // The seat's own pointer first, so that the window has one to be told with.
    session_.MovePointer(x, y);
    session_.Drag(x, y, 1280 + 640, y);
    EXPECT_FALSE(program->WaitExit(seconds(1))) << "the press released on the other output ended it";
    session_.Click(x, y);
    EXPECT_EQ(program->WaitExit(seconds(2)), 0) << "a click then did not end it: " << program->Stderr();
}

}  // namespace
}  // namespace desktop
