// The window form's pictures, held against a native window of the test's
// own: what it is sent and when, at the display's pace, in the window's own
// pixels, and when the window system is given a turn.

#include <gtest/gtest.h>

#include <chrono>
#include <numeric>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "platform/window/refresh_pace.h"
#include "tests/window_form_fixture.h"

namespace {

using namespace std::chrono_literals;
using namespace testing_support;

TEST_F(WindowFormTest, SendsTheFirstFrameWholeWithItsTitleThenOnlyTheChangedTilesAndAllOfItOnceExposed) {
    form_->Show();
    form_->DoEvents();
    EXPECT_TRUE(window_->sent.empty()) << "a picture before the program drew one";
    form_->Caption("Fii on suunnilleen 0");
    ShowIt();
    ASSERT_EQ(window_->sent.size(), 1U) << "an unchanged frame is not sent again";
    EXPECT_EQ(window_->sent[0], (std::vector<PixelRect>{{0, 0, kWidth, kHeight}}));
    EXPECT_EQ(window_->titles, (std::vector<std::string>{"Form1", "Fii on suunnilleen 0"}));
    EXPECT_EQ(window_->titlesAfterPictures.back(), 0U) << "the first frame's title waited for a second picture";

    // A short stroke in the top-left corner: only its tiles go.
    form_->Line(4, 4, 10, 6);
    form_->DoEvents();
    ASSERT_EQ(window_->sent.size(), 2U);
    for (const PixelRect& rect : window_->sent[1]) {
        EXPECT_TRUE(Within(rect, {0, 0, 32, 32}))
            << rect.x << ", " << rect.y << " " << rect.width << " x " << rect.height;
    }
    EXPECT_EQ(window_->memory, ImagePixels());

    // Exposed, the window is sent the whole picture again.
    window_->script[window_->dispatches + 1] = [](FakeWindow& window) { window.Tell([](auto& e) { e.Exposed(); }); };
    form_->DoEvents();
    form_->DoEvents();
    ASSERT_EQ(window_->sent.size(), 3U);
    EXPECT_EQ(window_->sent[2], (std::vector<PixelRect>{{0, 0, kWidth, kHeight}}));
}

// Frames drawn while the display is busy add up; the picture that goes once
// it answers carries them all, and the title set last rides with it.
TEST_F(WindowFormTest, AtTheDisplaysPaceAPictureCarriesAllThatChangedAndTheTitleRidesWithIt) {
    ShowIt();
    window_->answersAtOnce = false;
    form_->Line(4, 4, 10, 6);
    form_->DoEvents();
    const std::size_t sentBefore = window_->sent.size();
    const std::size_t titlesBefore = window_->titles.size();
    for (int frame = 0; frame < 5; ++frame) {
        form_->Line(10.0F * static_cast<float>(frame), 40, 10.0F * static_cast<float>(frame) + 8, 60);
        form_->Caption("Fii on suunnilleen " + std::to_string(frame));
        form_->DoEvents();
        now_ += 1ms;
    }
    EXPECT_EQ(window_->sent.size(), sentBefore) << "a picture went before the display took the last";
    EXPECT_EQ(window_->titles.size(), titlesBefore) << "a title went without a picture";
    EXPECT_NE(window_->memory, ImagePixels());

    window_->answered = true;
    form_->DoEvents();
    ASSERT_EQ(window_->sent.size(), sentBefore + 1);
    EXPECT_EQ(window_->memory, ImagePixels()) << "the picture lacks what changed while the display was busy";
    ASSERT_EQ(window_->titles.size(), titlesBefore + 1);
    EXPECT_EQ(window_->titles.back(), "Fii on suunnilleen 4");
    EXPECT_EQ(window_->titlesAfterPictures.back(), sentBefore) << "the title went apart from the picture";
}

// A display that stops answering shows nothing of the window: the form
// rests as for a hidden window, the last title still goes, and once the
// display answers again the window is sent whole.
TEST_F(WindowFormTest, ADisplayThatStopsAnsweringMeansTheWindowIsNotSeen) {
    ShowIt();
    window_->answersAtOnce = false;
    form_->Line(4, 4, 10, 6);
    form_->DoEvents();
    now_ += 400ms;
    form_->DoEvents();
    EXPECT_EQ(form_->ScaleWidth(), static_cast<float>(kWidth)) << "a display a little slow is still a display";
    // The limit passes mid-frame: the frame keeps the size it began with.
    now_ += 200ms;
    EXPECT_EQ(form_->ScaleWidth(), static_cast<float>(kWidth));
    EXPECT_EQ(form_->ScaleHeight(), static_cast<float>(kHeight));
    form_->DoEvents();
    EXPECT_EQ(form_->ScaleWidth(), 0.0F);
    form_->Caption("Fii on suunnilleen 1.6");
    form_->DoEvents();
    EXPECT_EQ(window_->titles.back(), "Fii on suunnilleen 1.6") << "the last title waits for a picture that cannot go";

    const std::size_t sentBefore = window_->sent.size();
    window_->answersAtOnce = true;
    window_->answered = true;
    form_->DoEvents();
    EXPECT_EQ(form_->ScaleWidth(), static_cast<float>(kWidth));
    form_->DoEvents();
    ASSERT_EQ(window_->sent.size(), sentBefore + 1);
    EXPECT_EQ(window_->sent.back(), (std::vector<PixelRect>{{0, 0, kWidth, kHeight}}));
}

// A window with memory of its own, which is sent the tiles that differ
// from it, and one that shows the image's own rows (a canvas), which is
// sent the tiles that changed.
class EachWindowTest : public WindowFormTest, public testing::WithParamInterface<bool> {
protected:
    EachWindowTest() { window_->takesImageRows = GetParam(); }
};

INSTANTIATE_TEST_SUITE_P(OwnMemoryOrTheImagesRows, EachWindowTest, testing::Bool());

// Long runs of strokes with the display answering at random: every picture
// brings the window's memory up to the image, whatever it missed.
TEST_P(EachWindowTest, EveryPictureBringsTheWindowUpToTheImage) {
    ShowIt();
    window_->answersAtOnce = false;
    std::mt19937 random(20261209);
    std::uniform_real_distribution<float> x(-10, kWidth + 10);
    std::uniform_real_distribution<float> y(-10, kHeight + 10);
    int pictures = 0;
    for (int frame = 0; frame < 2000; ++frame) {
        if (random() % 7 == 0) {
            form_->Cls();
        }
        form_->Line(x(random), y(random), x(random), y(random));
        if (random() % 5 == 0) {
            form_->Circle(x(random), y(random), y(random) / 2);
        }
        window_->answered = window_->answered || random() % 3 == 0;
        const std::size_t sentBefore = window_->sent.size();
        form_->DoEvents();
        if (window_->sent.size() > sentBefore) {
            ++pictures;
            ASSERT_EQ(window_->memory, ImagePixels()) << "frame " << frame;
        }
    }
    EXPECT_GT(pictures, 500);
}

// A window that takes opaque RGBA (a canvas) gets the program's colours as
// it reads them: red is bytes 255, 0, 0, 255, black 0, 0, 0, 255.
class RgbaWindowFormTest : public WindowFormTest {
protected:
    RgbaWindowFormTest() : WindowFormTest(platform::ImageFormat::OpaqueRgba) {}
};

TEST_F(RgbaWindowFormTest, TheImageIsDrawnInTheWindowsOwnPixels) {
    ShowIt();
    form_->Cls();
    form_->Line(10, 32, 80, 32);
    form_->DoEvents();
    ASSERT_EQ(window_->memory, ImagePixels());
    const auto at = [&](int x, int y) { return window_->memory[static_cast<std::size_t>(y) * kWidth + x]; };
    EXPECT_EQ(at(40, 32), 0xFF0000FFU) << "the stroke's middle";
    EXPECT_EQ(at(40, 10), 0xFF000000U) << "the background";
    for (const std::uint32_t pixel : window_->memory) {
        ASSERT_EQ(pixel >> 24, 0xFFU) << "a pixel the canvas would not show opaque";
    }
}

// The display's period is the shortest of the last intervals it told: a
// refresh skipped while the program drew does not lengthen it, and a
// slower display does within a few refreshes.
TEST(RefreshPaceTest, ThePeriodFollowsTheDisplayShorterOrLonger) {
    using Duration = std::chrono::duration<double, std::milli>;
    struct Case {
        const char* what;
        std::vector<double> intervals;  // ms
        double period;
    };
    const std::vector<Case> cases{
        {"one refresh told: a common display's", {}, 16.667},
        {"at 60 Hz", {16.7, 16.6, 16.7}, 16.6},
        {"at 60 Hz, refreshes skipped", {16.7, 33.3, 50, 33.3}, 16.7},
        {"a refresh told twice", {16.7, 0.5, 16.2}, 16.7},
        {"throttled to 30 a second", std::vector<double>(8, 33.3), 33.3},
        {"from 144 Hz to 60 Hz", {6.9, 6.9, 6.9, 6.9, 16.7, 16.7, 16.7, 16.7, 16.7, 16.7, 16.7, 16.7}, 16.7},
    };
    for (const Case& tried : cases) {
        platform::RefreshPace pace;
        EXPECT_FALSE(pace.Next()) << tried.what;
        platform::RefreshPace::Clock::time_point at{};
        pace.Refreshed(at);
        for (const double interval : tried.intervals) {
            at += std::chrono::duration_cast<platform::RefreshPace::Clock::duration>(Duration(interval));
            pace.Refreshed(at);
        }
        EXPECT_NEAR(Duration(pace.Period()).count(), tried.period, 0.01) << tried.what;
        EXPECT_EQ(*pace.Next(), at + pace.Period()) << tried.what;
    }
}

// Where the window system runs on the program's thread and tells of its
// display's refreshes, it is given a turn when the next refresh is due
// while a picture waits for it (at once, before any refresh is told), again
// a millisecond after a turn that did not find it, and whenever the budget
// has passed; at no other DoEvents.
TEST_F(WindowFormTest, TheWindowSystemHasATurnWhenAPictureIsDueOrTheBudgetHasPassed) {
    ShowIt();
    window_->answersAtOnce = false;
    using Milliseconds = std::chrono::duration<double, std::milli>;
    struct Case {
        const char* what;
        std::vector<double> intervals;  // the refreshes told, ms apart; none for none
        bool pictureWaits;
        std::vector<std::pair<double, bool>> doEvents;  // ms after the last refresh, and a turn or not
    };
    const std::vector<double> sixty(8, 16.667);
    const std::vector<Case> cases{
        {"no refresh told yet: due at once", {}, true, {{0.5, false}, {1, true}, {1.5, false}, {2, true}}},
        {"a picture waits for the refresh", sixty, true, {{10, false}, {16.7, true}}},
        {"and looks again a millisecond after", sixty, true, {{17, true}, {17.5, false}, {18, true}}},
        {"nothing waits for the refresh", std::vector<double>(8, 6.944), false, {{8, false}, {12, false}}},
        {"the budget has passed", sixty, false, {{15.9, false}, {16, true}}},
        {"a display throttled to 30 a second: the budget's turn, then the refresh's",
         std::vector<double>(8, 33.333),
         true,
         {{17, true}, {25, false}, {33.4, true}}},
        {"moved from 144 Hz to 60 Hz",
         {6.9, 6.9, 6.9, 6.9, 16.7, 16.7, 16.7, 16.7, 16.7, 16.7, 16.7, 16.7},
         true,
         {{8, false}, {16.8, true}}},
    };
    for (const Case& tried : cases) {
        // Each from a picture just sent and a turn just taken as the last
        // refresh is told; then the display answers it or not, and nothing
        // new is drawn.
        now_ += 1s;
        window_->answered = true;
        form_->Line(4, 4, 10, 6);
        window_->script[window_->dispatches + 1] = [&](FakeWindow& window) {
            auto at = now_ - std::chrono::duration_cast<std::chrono::nanoseconds>(
                                 Milliseconds(std::accumulate(tried.intervals.begin(), tried.intervals.end(), 0.0)));
            if (!tried.intervals.empty()) {
                window.Tell([&](auto& e) { e.Refreshed(at); });
            }
            for (const double interval : tried.intervals) {
                at += std::chrono::duration_cast<std::chrono::nanoseconds>(Milliseconds(interval));
                window.Tell([&](auto& e) { e.Refreshed(at); });
            }
        };
        form_->DoEvents();
        window_->answered = !tried.pictureWaits;
        const auto refreshed = now_;
        for (const auto& [since, turn] : tried.doEvents) {
            now_ = refreshed + std::chrono::duration_cast<std::chrono::nanoseconds>(Milliseconds(since));
            const std::size_t turnsBefore = window_->turnsBefore.size();
            form_->DoEvents();
            EXPECT_EQ(window_->turnsBefore.size() > turnsBefore, turn) << tried.what << ", " << since << " ms after";
            if (turn && window_->turnsBefore.size() > turnsBefore) {
                EXPECT_EQ(window_->turnsBefore.back(), window_->dispatches)
                    << tried.what << ": the turn came after dispatch";
            }
        }
    }
}
}  // namespace
