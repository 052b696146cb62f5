// Form1 on a recording form: what it asks of the window, and in what order,
// from start-up through the frames to the end.

#include <gtest/gtest.h>
#include <numbers>

#include <cmath>
#include <sstream>

#include "app/form1.h"
#include "platform/form/form_runtime.h"
#include "tests/recording_form.h"

namespace {

using platform::ScriptedEvent;
using testing_support::RecordingForm;

constexpr double kDegree = std::numbers::pi / 180;

struct RecordedRun {
    std::vector<std::string> journal;
    std::optional<std::string> error;
};

// Runs Form1 on a recording form of the given size with the given script.
RecordedRun RunForm1(int width, int height, const std::vector<std::pair<std::uint64_t, ScriptedEvent>>& script) {
    RecordingForm form(width, height);
    app::Form1 form1(form, ".");
    for (const auto& [call, event] : script) {
        form.Offscreen().At(call, event);
    }
    RecordedRun run;
    run.error = platform::RunForm(form, form1);
    run.journal = form.Journal();
    return run;
}

ScriptedEvent Click() { return {ScriptedEvent::Kind::Click}; }
ScriptedEvent Close() { return {ScriptedEvent::Kind::Close}; }
ScriptedEvent Resize(int width, int height) { return {ScriptedEvent::Kind::Resize, width, height}; }

// The journal split into frames, each starting at its DoEvents.
std::vector<std::vector<std::string>> Frames(const std::vector<std::string>& journal) {
    std::vector<std::vector<std::string>> frames;
    for (const auto& entry : journal) {
        if (entry == "DoEvents") {
            frames.emplace_back();
        }
        if (!frames.empty()) {
            frames.back().push_back(entry);
        }
    }
    return frames;
}

std::vector<float> NumbersOf(const std::string& entry) {
    std::istringstream text(entry.substr(entry.find(' ') + 1));
    std::vector<float> numbers;
    for (float value = 0; text >> value;) {
        numbers.push_back(value);
    }
    return numbers;
}

std::string Kind(const std::string& entry) { return entry.substr(0, entry.find(' ')); }

// Vertex k of a frame turned by the angle, in window coordinates.
std::pair<double, double> Vertex(int angle, int k, double cx, double cy, double radius) {
    const double theta = (angle + 72.0 * k) * kDegree;
    return {cx + radius * std::cos(theta), cy + radius * std::sin(theta)};
}

void ExpectSegmentsOfTurn(const std::vector<std::string>& frame, int angle, double cx, double cy, double radius) {
    const std::pair<int, int> segments[] = {{0, 2}, {0, 3}, {1, 3}, {1, 4}, {2, 4}};
    for (std::size_t s = 0; s < 5; ++s) {
        const auto line = NumbersOf(frame.at(3 + s));
        ASSERT_EQ(line.size(), 4U);
        const auto [x1, y1] = Vertex(angle, segments[s].first, cx, cy, radius);
        const auto [x2, y2] = Vertex(angle, segments[s].second, cx, cy, radius);
        EXPECT_NEAR(line[0], x1, 1e-3) << "segment " << s;
        EXPECT_NEAR(line[1], y1, 1e-3) << "segment " << s;
        EXPECT_NEAR(line[2], x2, 1e-3) << "segment " << s;
        EXPECT_NEAR(line[3], y2, 1e-3) << "segment " << s;
    }
}

TEST(Form1StartTest, SetsTheWindowUpInOrderBeforeTheFirstFrame) {
    const RecordedRun run = RunForm1(1024, 740, {{2, Click()}});
    ASSERT_FALSE(run.error) << *run.error;
    const std::vector<std::string> start(run.journal.begin(), run.journal.begin() + 8);
    EXPECT_EQ(start, (std::vector<std::string>{"AutoRedraw True", "ScaleMode 3", "Show", "ForeColor 255", "BackColor 0",
                                               "DrawWidth 5", "WindowState 2", "DoEvents"}));
}

TEST(Form1StartTest, KeepsItsDesignTitleUntilTheFirstFrame) {
    RecordingForm form(1024, 740);
    app::Form1 form1(form, ".");
    form.Offscreen().At(1, Click());
    EXPECT_FALSE(platform::RunForm(form, form1));
    EXPECT_EQ(form.Offscreen().Properties().Caption(), "Form1");
    EXPECT_TRUE(form.Offscreen().Shown());
}

TEST(Form1FrameTest, EveryFrameClearsTitlesAndDrawsFiveSegmentsThenTheCircle) {
    const RecordedRun run = RunForm1(1024, 740, {{4, Click()}});
    ASSERT_FALSE(run.error) << *run.error;
    const auto frames = Frames(run.journal);
    ASSERT_EQ(frames.size(), 4U);
    for (std::size_t f = 0; f < 3; ++f) {
        std::vector<std::string> kinds;
        for (const auto& entry : frames[f]) {
            kinds.push_back(Kind(entry));
        }
        EXPECT_EQ(kinds, (std::vector<std::string>{"DoEvents", "Cls", "Caption", "Line", "Line", "Line", "Line", "Line",
                                                   "Circle"}))
            << "frame " << f + 1;
        EXPECT_EQ(frames[f].back(), "Circle 512 370 370");
        const std::string caption = frames[f][2];
        EXPECT_TRUE(caption == "Caption Fii on suunnilleen 1.61803398874989" ||
                    caption == "Caption Fii on suunnilleen 1.6180339887499")
            << caption;
    }
}

TEST(Form1FrameTest, TheFirstFrameIsTurnedOneDegreeAndEachNextOneMore) {
    const RecordedRun run = RunForm1(1024, 740, {{4, Click()}});
    const auto frames = Frames(run.journal);
    ASSERT_GE(frames.size(), 3U);
    for (int f = 0; f < 3; ++f) {
        SCOPED_TRACE("frame " + std::to_string(f + 1));
        ExpectSegmentsOfTurn(frames[f], f + 1, 512, 370, 370);
    }
}

TEST(Form1FrameTest, AfterTurn359ComesTurn0ThenTurn1) {
    const RecordedRun run = RunForm1(400, 400, {{362, Click()}});
    const auto frames = Frames(run.journal);
    ASSERT_EQ(frames.size(), 362U);
    ExpectSegmentsOfTurn(frames[358], 359, 200, 200, 200);
    ExpectSegmentsOfTurn(frames[359], 0, 200, 200, 200);
    ExpectSegmentsOfTurn(frames[360], 1, 200, 200, 200);
    // Turn 0 starts straight right of the centre.
    EXPECT_EQ(frames[359][3].substr(0, 12), "Line 400 200");
}

TEST(Form1FrameTest, ANarrowOrTallAreaUsesItsSmallerSide) {
    const RecordedRun run = RunForm1(300, 500, {{2, Click()}});
    const auto frames = Frames(run.journal);
    ASSERT_EQ(frames.size(), 2U);
    EXPECT_EQ(frames[0].back(), "Circle 150 250 150");
}

TEST(Form1FrameTest, TheNextFrameAfterARestoreFitsTheNormalClientArea) {
    const RecordedRun run = RunForm1(1024, 740, {{3, Resize(312, 213)}, {4, Click()}});
    const auto frames = Frames(run.journal);
    ASSERT_EQ(frames.size(), 4U);
    EXPECT_EQ(frames[1].back(), "Circle 512 370 370");
    EXPECT_EQ(frames[2].back(), "Circle 156 106.5 106.5");
    ExpectSegmentsOfTurn(frames[2], 3, 156, 106.5, 106.5);
}

TEST(Form1EndTest, AClickEndsItAndNothingRunsAfterEnd) {
    const RecordedRun run = RunForm1(1024, 740, {{3, Click()}, {3, Resize(10, 10)}});
    ASSERT_FALSE(run.error) << *run.error;
    ASSERT_FALSE(run.journal.empty());
    EXPECT_EQ(run.journal.back(), "End");
    EXPECT_EQ(Frames(run.journal).size(), 3U);
    EXPECT_EQ(std::count(run.journal.begin(), run.journal.end(), "End"), 1);
}

TEST(Form1EndTest, ClosingTheWindowEndsIt) {
    const RecordedRun run = RunForm1(1024, 740, {{2, Close()}});
    ASSERT_FALSE(run.error) << *run.error;
    EXPECT_EQ(run.journal.back(), "End");
    EXPECT_EQ(Frames(run.journal).size(), 2U);
}

TEST(Form1EmptyAreaTest, AMinimisedWindowRestsAndTheTurnGoesOnWhereItStopped) {
    // Two frames, then minimised for the DoEvents calls 3 to 9, restored at 10.
    const RecordedRun run = RunForm1(1024, 740, {{3, Resize(0, 0)}, {10, Resize(1024, 740)}, {12, Click()}});
    ASSERT_FALSE(run.error) << *run.error;
    const auto frames = Frames(run.journal);
    // While minimised: a DoEvents that finds no client area, then a wait.
    EXPECT_EQ(frames[2], (std::vector<std::string>{"DoEvents", "WaitEvents"}));
    // The wait sleeps until the restore: no frame is drawn in between.
    ASSERT_EQ(frames.size(), 5U);
    EXPECT_EQ(Kind(frames[3][1]), "Cls");
    ExpectSegmentsOfTurn(frames[3], 3, 512, 370, 370);
}

TEST(Form1EmptyAreaTest, AnAreaWithNoWidthOrNoHeightDrawsNothingAndKeepsTheTitle) {
    for (const auto& [width, height] : {std::pair{0, 740}, std::pair{1024, 0}}) {
        RecordingForm form(1024, 740);
        app::Form1 form1(form, ".");
        form.Offscreen().At(2, Resize(width, height));
        // No client area to click in: closed instead.
        form.Offscreen().At(50, Close());
        ASSERT_FALSE(platform::RunForm(form, form1));
        const auto& journal = form.Journal();
        EXPECT_EQ(std::count_if(journal.begin(), journal.end(), [](const auto& e) { return Kind(e) == "Caption"; }), 1);
        EXPECT_EQ(std::count_if(journal.begin(), journal.end(), [](const auto& e) { return Kind(e) == "Cls"; }), 1);
        EXPECT_TRUE(form.Offscreen().Properties().Caption().starts_with("Fii on suunnilleen 1.618033988749"));
    }
}

TEST(Form1EmptyAreaTest, WaitingWithNothingScriptedIsAReportedError) {
    const RecordedRun run = RunForm1(1024, 740, {{2, Resize(0, 0)}});
    ASSERT_TRUE(run.error);
    EXPECT_NE(run.error->find("cannot wait for a window event"), std::string::npos) << *run.error;
}

TEST(Form1CaptionTest, UsesTheDecimalSeparatorItWasGiven) {
    RecordingForm form(1024, 740);
    app::Form1 form1(form, ",");
    form.Offscreen().At(2, Click());
    ASSERT_FALSE(platform::RunForm(form, form1));
    EXPECT_TRUE(form.Offscreen().Properties().Caption().starts_with("Fii on suunnilleen 1,618033988749"));
}

}  // namespace
