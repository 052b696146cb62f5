// The program as a native Wayland window in what only some compositors
// have or do: resting while sway shows it on no output, sway's screenshots
// at scale 2 and a change of its output's scale, weston nested in sway and
// GNOME's mutter headless, and many starts under sway and mutter. What every
// compositor is asked is in compositor_test.cpp, the pointer under sway in
// wayland_pointer_test.cpp.

#include <gtest/gtest.h>
#include <csignal>

#include <algorithm>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "tests/desktop/wayland_fixture.h"
#include "tests/desktop/wayland_log.h"

namespace desktop {
namespace {

using testing_support::Clock;
using testing_support::CpuTicks;

TEST_F(WaylandTest, HiddenItRestsAndShownItTurnsOn) {
    auto program = StartProgram();
    (void)WaitForWindow(*program);
    session_.Command("[app_id=pentagram] move to workspace 2");
    // Settled: the compositor has stopped answering the window's frames.
    std::this_thread::sleep_for(seconds(1));
    const long before = CpuTicks(program->Pid());
    std::this_thread::sleep_for(seconds(2));
    const long used = CpuTicks(program->Pid()) - before;
    EXPECT_LE(used, 2 * sysconf(_SC_CLK_TCK) / 50) << "ticks in 2 s while hidden: more than 2 % of a core";
    session_.Command("workspace 2");
    const auto window = session_.FindWindow("pentagram", program->Pid());
    ASSERT_TRUE(window);
    const Picture shown = session_.Screenshot(window->content);
    EXPECT_TRUE(WaitUntil([&] { return session_.Screenshot(window->content).pixels != shown.pixels; }, kSettle))
        << "the figure does not turn once shown";
}

// A launch's token is a courtesy: one that cannot be sent (too long for a
// message, not UTF-8) is left unused with one line saying so, and the
// program runs as if none were given; any other goes unremarked.
TEST_F(WaylandTest, WhateverActivationTokenItIsGivenItRuns) {
    struct Case {
        std::string token;
        bool sendable;
    };
    const std::vector<Case> cases{
        {std::string(5000, 't'), false},       {"launch\xFF", false},          {"", true},
        {"junk, \"quoted\" $and`more`", true}, {std::string(4079, 't'), true},
    };
    for (const Case& tried : cases) {
        auto program = StartProgram({{"XDG_ACTIVATION_TOKEN", tried.token}});
        (void)WaitForWindow(*program);
        ASSERT_TRUE(program->Running()) << tried.token.size() << " bytes: " << program->Stderr();
        program->Signal(SIGTERM);
        EXPECT_EQ(program->WaitExit(seconds(2)), 0);
        const std::string said = program->Stderr();
        if (tried.sendable) {
            EXPECT_EQ(said, "") << tried.token.size() << " bytes";
        } else {
            EXPECT_TRUE(said.starts_with("pentagram: the launch's activation token was not used: ") &&
                        std::count(said.begin(), said.end(), '\n') == 1)
                << tried.token.size() << " bytes: " << said;
        }
    }
}

// How many pixels differ from their right-hand neighbour at even columns:
// none in a picture drawn at half the pixels and doubled, many along a
// sharp picture's strokes.
int UnlikeNeighbours(const Picture& picture) {
    int unlike = 0;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x + 1 < picture.width; x += 2) {
            unlike += picture.At(x, y) != picture.At(x + 1, y) ? 1 : 0;
        }
    }
    return unlike;
}

// At output scale 2 the window's image has the output's own pixels: twice
// as many each way as its logical size, not each one doubled.
class ScaledWaylandTest : public WaylandTest {
protected:
    ScaledWaylandTest() : WaylandTest(2) {}
};

TEST_F(ScaledWaylandTest, TheImageHasTheOutputsOwnPixels) {
    auto program = StartProgram();
    (void)WaitForWindow(*program);
    session_.Command("[app_id=pentagram] floating enable");
    const Picture picture = CaptureFitted(*program, 312, 213);
    ASSERT_EQ(picture.width, 624) << "the screenshot is not at the output's pixels";
    ASSERT_EQ(picture.height, 426);
    EXPECT_GT(UnlikeNeighbours(picture), 200) << "the figure is drawn at half the pixels and doubled";
}

TEST_F(WaylandTest, AChangeOfTheOutputsScaleIsFollowed) {
    auto program = StartProgram();
    (void)WaitForWindow(*program);
    session_.Command("[app_id=pentagram] floating enable");
    (void)CaptureFitted(*program, 312, 213);
    session_.Command("output HEADLESS-1 scale 2");
    // The output is half as wide now: the floating window is put back on it.
    session_.Command("[app_id=pentagram] move position center");
    std::optional<SwayWindow> window;
    Picture picture;
    EXPECT_TRUE(WaitUntil(
        [&] {
            window = session_.FindWindow("pentagram", program->Pid());
            picture = window ? session_.Screenshot(window->content) : Picture{};
            return picture.width == 2 * window->content.width && FigureFits(picture) && UnlikeNeighbours(picture) > 200;
        },
        kSettle))
        << "the window does not draw at scale 2: " << picture.width << " x " << picture.height << " pixels for "
        << (window ? std::to_string(window->content.width) + " x " + std::to_string(window->content.height) : "none")
        << ", " << UnlikeNeighbours(picture) << " unlike neighbours";
}

// weston, nested in sway, and GNOME's mutter, headless beside it: neither
// draws decorations of its own (libdecor's are the window's), and the
// window comes up maximised, at the compositor's pace, without a protocol
// error, until SIGTERM ends it at once. Neither tells of its windows, so
// what the program sent and was told is read from its protocol log.
TEST_F(WaylandTest, UnderWestonAndMutterItComesUpMaximisedAtTheirPaceAndSigtermEndsIt) {
    struct Nested {
        const char* name;
        std::function<std::unique_ptr<Process>()> start;
        const char* socket;
        int outputWidth;
    };
    const std::vector<Nested> compositors{
        {"weston",
         [&] {
             return session_.Start({"weston", "--backend=wayland-backend.so", "--socket=weston-pentagram",
                                    "--width=1024", "--height=700"});
         },
         "weston-pentagram", 1024},
        {"mutter", [&] { return StartMutter(); }, kMutterSocket, 1280},
    };
    for (const Nested& nested : compositors) {
        SCOPED_TRACE(nested.name);
        auto compositor = nested.start();
        const auto socket = std::filesystem::path(*session_.Environment().at("XDG_RUNTIME_DIR")) / nested.socket;
        ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(socket) || !compositor->Running(); }, kAppear) &&
                    compositor->Running())
            << compositor->Stderr();
        auto program = StartProgram({{"WAYLAND_DISPLAY", nested.socket}, {"WAYLAND_DEBUG", "1"}});
        std::this_thread::sleep_for(seconds(2));
        ASSERT_TRUE(program->Running()) << program->Stderr().substr(program->Stderr().size() - 2000);
        const WaylandLog log = WaylandLog::Read(program->Stderr());
        EXPECT_TRUE(log.askedMaximised);
        ASSERT_FALSE(log.configured.empty());
        EXPECT_EQ(log.configured.back().width, nested.outputWidth) << "not maximised to the output";
        ASSERT_FALSE(log.pictures.empty());
        EXPECT_EQ(log.pictures.back().buffer.width, nested.outputWidth);
        ExpectTheCompositorsPace(log);
        EXPECT_EQ(program->Stderr().find("run-time error"), std::string::npos);
        EXPECT_EQ(compositor->Stderr().find("error in client communication"), std::string::npos);
        const auto sent = Clock::now();
        program->Signal(SIGTERM);
        EXPECT_EQ(program->WaitExit(seconds(2)), 0);
        EXPECT_LE(Clock::now() - sent, milliseconds(200));
    }
}

// The program started again and again under sway and mutter, as a person
// or a benchmark does: every start comes up, shows pictures at the
// compositor's pace and runs until it is asked to end.
using StressWaylandTest = WaylandTest;

TEST_F(StressWaylandTest, AHundredStartsUnderSwayAndUnderMutterEachRunUntilAskedToEnd) {
    constexpr int kStarts = 100;
    auto mutter = StartMutter();
    ASSERT_TRUE(mutter->Running());
    for (const auto& [compositor, display] : {std::pair{"sway", session_.Socket()}, {"mutter", kMutterSocket}}) {
        int deaths = 0;
        std::string firstDeath;
        for (int start = 0; start < kStarts; ++start) {
            auto program = StartProgram({{"WAYLAND_DISPLAY", display}, {"WAYLAND_DEBUG", "1"}});
            const bool showing = WaitUntil(
                [&] { return !program->Running() || WaylandLog::Read(program->Stderr()).frameCallbacksAnswered > 3; },
                kAppear);
            std::this_thread::sleep_for(milliseconds(200));
            if (!showing || !program->Running()) {
                const std::string said = program->Stderr();
                ++deaths;
                firstDeath = firstDeath.empty() ? said.substr(said.rfind('\n', said.size() - 2) + 1) : firstDeath;
                continue;
            }
            program->Signal(SIGTERM);
            EXPECT_EQ(program->WaitExit(seconds(2)), 0) << compositor << ", start " << start;
        }
        EXPECT_EQ(deaths, 0) << "under " << compositor << " " << deaths << " of " << kStarts
                             << " starts ended on their own; the first said: " << firstDeath;
    }
}

}  // namespace
}  // namespace desktop
