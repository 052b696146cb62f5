// The program as a native Wayland window under the compositors of the
// desktops people run, one table of them and the same checks under each:
// headless sway, and KDE's kwin at 100, 125, 150 and 200 %. An xdg-shell toplevel
// with the program's app id, maximised to the output (or filling its tile),
// with the ratio title; drawn at the compositor's scale, fractional where it
// offers that, and shown at the compositor's pace; the normal size once
// restored; a click, focused or not, a tap where the compositor can fake a
// touchscreen, the compositor's close and SIGTERM each end it, and the
// compositor going away is a reported run-time error; hidden and shown again
// and again, its title stays a true ratio. What
// the program sent is read from its protocol log (WAYLAND_DEBUG), which is
// the evidence of its sharpness where the compositor gives no screenshot.

#include <gtest/gtest.h>
#include <csignal>

#include <cmath>
#include <functional>
#include <regex>
#include <thread>

#include "tests/desktop/kwin_session.h"
#include "tests/desktop/ratio_title.h"
#include "tests/desktop/sway_session.h"
#include "tests/desktop/wayland_log.h"
#include "tests/support/process_readings.h"
#include "tests/support/program_under_test.h"

namespace desktop {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;
using testing_support::Clock;
using testing_support::WaitUntil;

constexpr auto kAppear = seconds(10);
constexpr auto kSettle = seconds(5);
// Another program's window, to take the focus.
constexpr const char* kOtherWindow = "org.freedesktop.weston.flower";
// 4680 x 3195 twips at 96 dots per inch, the normal client area in logical pixels.
constexpr Size kNormal{312, 213};

struct Compositor {
    std::string name;
    std::function<std::unique_ptr<CompositorSession>()> start;
    double scale;
    // The compositor offers fractional scales: the buffer's scale stays 1,
    // and a viewport gives the surface its logical size.
    bool fractional;
    // The compositor can fake a finger on a touchscreen.
    bool touch;
};

std::string NameOf(const testing::TestParamInfo<Compositor>& info) { return info.param.name; }
// Test names and messages show a compositor by its name.
void PrintTo(const Compositor& compositor, std::ostream* out) { *out << compositor.name; }

const std::vector<Compositor>& Compositors() {
    static const std::vector<Compositor> compositors{
        {"sway", [] { return std::make_unique<SwaySession>(1280, 800, 1); }, 1, false, false},
        {"kwin_100", [] { return std::make_unique<KwinSession>(1280, 800, 1); }, 1, true, true},
        {"kwin_125", [] { return std::make_unique<KwinSession>(1280, 800, 1.25); }, 1.25, true, true},
        {"kwin_150", [] { return std::make_unique<KwinSession>(1280, 800, 1.5); }, 1.5, true, true},
        {"kwin_200", [] { return std::make_unique<KwinSession>(1280, 800, 2); }, 2, true, true},
    };
    return compositors;
}

std::string Describe(const Rect& rect) {
    return std::to_string(rect.width) + " x " + std::to_string(rect.height) + " at " + std::to_string(rect.x) + ", " +
           std::to_string(rect.y);
}

bool operator==(const Rect& a, const Rect& b) {
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

class CompositorTest : public testing::TestWithParam<Compositor> {
protected:
    CompositorTest() : session_(GetParam().start()) {}

    std::unique_ptr<Process> StartProgram(const Process::Environment& extra = {}) {
        return session_->Start(
            testing_support::ProgramCommand(session_->Reachable(testing_support::ProgramUnderTest(PENTAGRAM_PROGRAM))),
            extra);
    }

    // The program's toplevel once it has the ratio title and, unless it is
    // `restored`, is maximised.
    Toplevel WaitForToplevel(Process& program, bool restored = false) {
        std::optional<Toplevel> window;
        EXPECT_TRUE(WaitUntil(
            [&] {
                window = session_->FindToplevel("pentagram", program.Pid());
                return window && IsRatioTitle(window->title) &&
                       (restored ? window->content.width == kNormal.width : window->frame == window->area);
            },
            kAppear))
            << "no " << (restored ? "restored" : "maximised") << " toplevel with the ratio title"
            << (window ? "; frame " + Describe(window->frame) + ", area " + Describe(window->area) : "")
            << "; the program is " << (program.Running() ? "running" : "gone")
            << ", stderr: " << program.Stderr().substr(0, 2000);
        return window.value_or(Toplevel{});
    }

    // A logical length at the compositor's scale, as the protocol rounds it.
    [[nodiscard]] Size AtScale(int width, int height) const {
        const double scale = GetParam().scale;
        return {static_cast<int>(std::lround(width * scale)), static_cast<int>(std::lround(height * scale))};
    }

    // The last picture was drawn at the compositor's scale for a surface of
    // this logical size.
    void ExpectSharp(const WaylandLog& log, int width, int height) const {
        ASSERT_FALSE(log.pictures.empty()) << "no picture committed";
        const CommittedPicture& last = log.pictures.back();
        EXPECT_EQ(last.buffer, AtScale(width, height))
            << "a buffer of " << last.buffer.width << " x " << last.buffer.height << " for " << width << " x " << height
            << " at " << GetParam().scale;
        if (GetParam().fractional) {
            EXPECT_EQ(last.bufferScale, 1);
            EXPECT_EQ(last.destination, (Size{width, height})) << "the viewport does not give the logical size";
        } else {
            EXPECT_EQ(last.bufferScale, static_cast<int>(GetParam().scale));
            EXPECT_FALSE(last.destination) << "a viewport where the compositor has no fractional scale";
        }
    }

    std::unique_ptr<CompositorSession> session_;
};

TEST_P(CompositorTest, ComesUpMaximisedSharpAtItsScaleShownAtTheCompositorsPaceAndRestoresToTheNormalSize) {
    auto program = StartProgram({{"WAYLAND_DEBUG", "1"}, {"XDG_ACTIVATION_TOKEN", "pentagram-test-launch"}});
    const Toplevel window = WaitForToplevel(*program);
    // Started by a launcher, it is activated with the launch's token, once.
    EXPECT_EQ(WaylandLog::Read(program->Stderr()).activations, std::vector<std::string>{"pentagram-test-launch"});
    ASSERT_GT(window.content.width, 0);
    EXPECT_EQ(window.appId, "pentagram");
    // A while at full speed: the compositor is sent a picture only once it
    // has shown the last, and the title at most once a repaint.
    std::this_thread::sleep_for(seconds(1));
    const auto shown = session_->FindToplevel("pentagram", program->Pid());
    const WaylandLog log = WaylandLog::Read(program->Stderr());
    ExpectSharp(log, window.content.width, window.content.height);
    ExpectTheCompositorsPace(log);
    ASSERT_TRUE(shown);
    EXPECT_TRUE(IsRatioTitle(shown->title)) << shown->title;
    EXPECT_TRUE(testing_support::MapsFileNamed(program->Pid(), "/memfd:pentagram-frame"))
        << "its pictures are not in shared memory of a memfd";
    // Where the compositor gives its pixels, they show the figure fitted to
    // the window once it holds still.
    if (session_->Capture(window.content)) {
        EXPECT_TRUE(WaitUntil(
            [&] {
                const auto now = session_->FindToplevel("pentagram", program->Pid());
                const auto picture = now ? session_->Capture(now->content) : std::nullopt;
                return picture && FigureFits(*picture);
            },
            kSettle))
            << "no figure fitted to the window";
    }

    session_->Restore(program->Pid());
    const Toplevel restored = WaitForToplevel(*program, true);
    EXPECT_EQ(restored.content.width, kNormal.width);
    EXPECT_EQ(restored.content.height, kNormal.height);
    EXPECT_TRUE(WaitUntil(
        [&] {
            const WaylandLog now = WaylandLog::Read(program->Stderr());
            return !now.pictures.empty() && now.pictures.back().buffer == AtScale(kNormal.width, kNormal.height);
        },
        kSettle));
    ExpectSharp(WaylandLog::Read(program->Stderr()), kNormal.width, kNormal.height);
    EXPECT_TRUE(program->Running());
}

// Where the click lands: the middle of the client area, or, where another
// window stands over the middle, the middle of what it leaves beside it.
std::pair<int, int> ClickPoint(const Rect& area, const std::optional<Toplevel>& onTop) {
    int x = area.x + area.width / 2;
    const int y = area.y + area.height / 2;
    if (onTop && x >= onTop->frame.x && x < onTop->frame.x + onTop->frame.width) {
        const int right = std::max(onTop->frame.x + onTop->frame.width, area.x);
        x = right + (area.x + area.width - right) / 2;
    }
    return {x, y};
}

// A finger counts where it lands in the client area, not beside the window.
// (A headless kwin draws no title bar to tap.)
void ExpectATapEndsItInTheClientAreaAlone(CompositorSession& session, Process& program,
                                          const std::function<Toplevel()>& restore) {
    const Toplevel restored = restore();
    const int besideX = restored.area.x + restored.area.width - 4;
    const int besideY = restored.area.y + restored.area.height - 4;
    ASSERT_GE(besideX, restored.frame.x + restored.frame.width) << "no room beside the restored window";
    session.Tap(besideX, besideY);
    std::this_thread::sleep_for(milliseconds(500));
    EXPECT_TRUE(program.Running()) << "a tap beside the window ended it";
    const auto [x, y] = ClickPoint(restored.content, std::nullopt);
    session.Tap(x, y);
    EXPECT_EQ(program.WaitExit(seconds(2)), 0) << "a tap in the client area did not end it: " << program.Stderr();
    EXPECT_EQ(program.Stderr(), "");
}

TEST_P(CompositorTest, AClickOrATapFocusedOrNotTheCompositorsCloseAndSigtermEndItAndTheCompositorGoingAwayIsAnError) {
    if (GetParam().touch) {
        auto tapped = StartProgram();
        (void)WaitForToplevel(*tapped);
        ExpectATapEndsItInTheClientAreaAlone(*session_, *tapped, [&] {
            session_->Restore(tapped->Pid());
            return WaitForToplevel(*tapped, true);
        });
    }

    auto focused = StartProgram();
    const Toplevel first = WaitForToplevel(*focused);
    const auto [x, y] = ClickPoint(first.content, std::nullopt);
    session_->Click(x, y);
    EXPECT_EQ(focused->WaitExit(seconds(2)), 0) << "the click did not end it: " << focused->Stderr();
    EXPECT_EQ(focused->Stderr(), "");

    auto clicked = StartProgram();
    const Toplevel second = WaitForToplevel(*clicked);
    auto other = session_->Start({"weston-flower"});
    ASSERT_TRUE(WaitUntil([&] { return session_->FindToplevel(kOtherWindow).has_value(); }, kAppear))
        << "weston-flower has no window: " << other->Stderr();
    session_->Focus(kOtherWindow);
    EXPECT_TRUE(WaitUntil([&] { return session_->FindToplevel(kOtherWindow).value_or(Toplevel{}).focused; }, kSettle))
        << "the other window did not take the focus";
    EXPECT_FALSE(session_->FindToplevel("pentagram", clicked->Pid()).value_or(Toplevel{}).focused);
    const auto placed = session_->FindToplevel("pentagram", clicked->Pid());
    ASSERT_TRUE(placed);
    const auto [otherX, otherY] = ClickPoint(placed->content, session_->FindToplevel(kOtherWindow));
    session_->Click(otherX, otherY);
    EXPECT_EQ(clicked->WaitExit(seconds(2)), 0) << "a click after another window took the focus did not end it";
    other.reset();

    auto closed = StartProgram();
    (void)WaitForToplevel(*closed);
    session_->Close(closed->Pid());
    EXPECT_EQ(closed->WaitExit(seconds(2)), 0) << closed->Stderr();

    auto signalled = StartProgram();
    (void)WaitForToplevel(*signalled);
    const auto sent = Clock::now();
    signalled->Signal(SIGTERM);
    EXPECT_EQ(signalled->WaitExit(seconds(2)), 0) << signalled->Stderr();
    EXPECT_LE(Clock::now() - sent, milliseconds(200));

    auto abandoned = StartProgram();
    (void)WaitForToplevel(*abandoned);
    session_->Kill();
    const auto status = abandoned->WaitExit(seconds(2));
    ASSERT_TRUE(status) << "still running 2 s after the compositor went away";
    EXPECT_EQ(*status, 1);
    EXPECT_TRUE(std::regex_search(abandoned->Stderr(),
                                  std::regex("^pentagram: run-time error: lost the connection to the Wayland "
                                             "compositor '[-a-z0-9]+'")))
        << abandoned->Stderr();
}

// Minimised (or put in sway's scratchpad) and shown again, long enough each
// time for the window to be taken for unseen: the program runs on, and no
// title it sets is a ratio the geometry could not give.
TEST_P(CompositorTest, HiddenAndShownTwentyTimesItRunsOnWithATrueRatioInItsTitle) {
    auto program = StartProgram({{"WAYLAND_DEBUG", "1"}});
    (void)WaitForToplevel(*program);
    for (int time = 0; time < 20; ++time) {
        session_->Hide(program->Pid());
        std::this_thread::sleep_for(milliseconds(600));
        session_->Unhide(program->Pid());
        std::this_thread::sleep_for(milliseconds(150));
    }
    ASSERT_TRUE(program->Running()) << program->Stderr().substr(0, 2000);
    const WaylandLog log = WaylandLog::Read(program->Stderr());
    ASSERT_GT(log.titles.size(), 20U);
    for (std::size_t title = 1; title < log.titles.size(); ++title) {
        ASSERT_TRUE(IsRatioTitle(log.titles[title])) << "title " << title << ": " << log.titles[title];
    }
    EXPECT_TRUE(WaitUntil(
        [&] {
            const auto shown = session_->FindToplevel("pentagram", program->Pid());
            return shown && IsRatioTitle(shown->title);
        },
        kSettle));
}

INSTANTIATE_TEST_SUITE_P(UnderEachCompositor, CompositorTest, testing::ValuesIn(Compositors()), NameOf);

}  // namespace
}  // namespace desktop
