// The program on the displays people have: high colour, true colour, deep
// colour, and a server that shares no memory with it (as over ssh -X).

#include <gtest/gtest.h>

#include <regex>

#include "tests/desktop/desktop_fixture.h"

namespace desktop {
namespace {

using std::chrono::seconds;

struct DisplayCase {
    std::string name;
    int depth;
    bool sharedMemory;
};

std::string NameOf(const testing::TestParamInfo<DisplayCase>& info) { return info.param.name; }

void PrintTo(const DisplayCase& display, std::ostream* out) { *out << display.name; }

class DisplayTest : public DesktopTest, public testing::WithParamInterface<DisplayCase> {
protected:
    DisplayTest() : DesktopTest(SetupFor(GetParam())) {}

    static DisplaySetup SetupFor(const DisplayCase& display) {
        DisplaySetup setup;
        setup.depth = display.depth;
        setup.sharedMemory = display.sharedMemory;
        return setup;
    }
};

TEST_P(DisplayTest, TheFigureIsRedOnBlackAndAClickEndsIt) {
    auto program = StartProgram();
    const Window window = WaitForMaximisedWindow(*program);
    ASSERT_NE(window, None);
    const auto area = x_.ClientArea(window);
    ASSERT_TRUE(area);
    const Picture picture = CaptureFitted(window, area->width, area->height);
    ASSERT_EQ(picture.width, area->width);
    // Pure red where a stroke is whole, pure black away from the figure.
    const int cx = area->width / 2;
    const int radius = std::min(area->width, area->height) / 2;
    EXPECT_EQ(picture.At(cx, area->height / 2), kBlack);
    EXPECT_EQ(picture.At(2, 2), kBlack);
    bool solidRed = false;
    for (int x = cx - radius - 4; x <= cx - radius + 4; ++x) {
        solidRed = solidRed || picture.At(x, area->height / 2) == 0xFF0000U;
    }
    EXPECT_TRUE(solidRed) << "no pure red across the circle's left side";
    x_.Click(area->x + cx, area->y + area->height / 3);
    EXPECT_EQ(program->WaitExit(seconds(2)), 0) << program->Stderr();
}

INSTANTIATE_TEST_SUITE_P(OnEachDisplay, DisplayTest,
                         testing::Values(DisplayCase{"HighColour16", 16, true}, DisplayCase{"TrueColour24", 24, true},
                                         DisplayCase{"DeepColour30", 30, true},
                                         DisplayCase{"WithoutSharedMemory", 24, false}),
                         NameOf);

// An 8-bit display has no true colour: a run-time error that says so,
// shown in a message box, and status 1 once it is closed.
class PseudoColourDisplayTest : public DesktopTest {
protected:
    PseudoColourDisplayTest() : DesktopTest(EightBits()) {}

    static DisplaySetup EightBits() {
        DisplaySetup setup;
        setup.width = 640;
        setup.height = 480;
        setup.depth = 8;
        return setup;
    }
};

TEST_F(PseudoColourDisplayTest, IsARunTimeErrorThatNamesTheDepth) {
    auto program = StartProgram();
    ASSERT_TRUE(WaitUntil([&] { return !program->Stderr().empty(); }, kAppear)) << "no report";
    EXPECT_TRUE(std::regex_match(program->Stderr(),
                                 std::regex("pentagram: run-time error: cannot show the window's image: the display's "
                                            "depth is 8 bits.*\n")))
        << program->Stderr();
    std::optional<Window> box;
    ASSERT_TRUE(WaitUntil([&] { return (box = x_.FindWindow("pentagram")).has_value(); }, kAppear))
        << "no message box; windows: " << x_.DescribeClients();
    x_.RequestClose(*box);
    EXPECT_EQ(program->WaitExit(seconds(5)), 1);
}

}  // namespace
}  // namespace desktop
