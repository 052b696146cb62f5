// The program as a native Wayland window in what only some compositors
// have or do: resting while sway shows it on no output, sway's screenshots
// at scale 2 and a change of its output's scale, weston nested in sway and
// GNOME's mutter headless, and many starts under sway and mutter. What every compositor is asked is in
// compositor_test.cpp.

#include <gtest/gtest.h>
#include <csignal>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "tests/desktop/picture.h"
#include "tests/desktop/ratio_title.h"
#include "tests/desktop/sway_session.h"
#include "tests/desktop/wayland_log.h"
#include "tests/support/process_readings.h"

namespace desktop {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;
using testing_support::Clock;
using testing_support::CpuTicks;
using testing_support::WaitUntil;

constexpr auto kAppear = seconds(10);
constexpr auto kSettle = seconds(5);

class WaylandTest : public testing::Test {
protected:
    explicit WaylandTest(int scale = 1) : session_(1280, 800, scale) {}

    std::unique_ptr<Process> StartProgram(const Process::Environment& extra = {}) {
        return session_.Start({session_.Reachable(PENTAGRAM_PROGRAM)}, extra);
    }

    // The program's toplevel once it has the ratio title.
    SwayWindow WaitForWindow(Process& program) {
        std::optional<SwayWindow> window;
        EXPECT_TRUE(WaitUntil(
            [&] {
                window = session_.FindWindow("pentagram", program.Pid());
                return window && IsRatioTitle(window->title);
            },
            kAppear))
            << "no toplevel with the ratio title; the program is " << (program.Running() ? "running" : "gone")
            << ", stderr: " << program.Stderr();
        return window.value_or(SwayWindow{});
    }

    // A screenshot of the client area once it has the size, in logical
    // pixels, and shows the figure fitted to it.
    Picture CaptureFitted(Process& program, int width, int height) {
        Picture picture;
        const bool fitted = WaitUntil(
            [&] {
                const auto window = session_.FindWindow("pentagram", program.Pid());
                if (!window || window->content.width != width || window->content.height != height) {
                    return false;
                }
                picture = session_.Screenshot(window->content);
                return FigureFits(picture);
            },
            kSettle);
        EXPECT_TRUE(fitted) << "no figure fitted to " << width << " x " << height;
        return picture;
    }

    // GNOME's compositor, headless, beside sway in the session's runtime folder.
    std::unique_ptr<Process> StartMutter() {
        auto mutter = session_.Start({"dbus-run-session", "--", "mutter", "--wayland", "--headless",
                                      "--virtual-monitor", "1280x800", "--wayland-display", kMutterSocket});
        const auto socket = std::filesystem::path(*session_.Environment().at("XDG_RUNTIME_DIR")) / kMutterSocket;
        EXPECT_TRUE(WaitUntil([&] { return std::filesystem::exists(socket) || !mutter->Running(); }, kAppear) &&
                    mutter->Running())
            << "required: mutter did not start headless: " << mutter->Stderr();
        return mutter;
    }

    static constexpr const char* kMutterSocket = "mutter-pentagram";
    SwaySession session_;
};

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
