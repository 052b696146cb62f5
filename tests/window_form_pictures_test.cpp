// The window form's pictures, held against a native window of the test's
// own: what it is sent and when, at the display's pace, in the window's own
// pixels, and when the window system is given a turn.

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "tests/window_form_fixture.h"

namespace {

using namespace std::chrono_literals;
using namespace testing_support;

TEST_F(WindowFormTest, SendsTheFirstFrameWholeWithItsTitleThenOnlyTheChangedTilesAndAllOfItOnceExposed) {
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

// Long runs of strokes with the display answering at random: every picture
// brings the window's memory up to the image, whatever it missed.
TEST_F(WindowFormTest, EveryPictureBringsTheWindowUpToTheImage) {
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

// Where the window system runs on the program's thread it is given a turn
// when the display is due to show the picture sent, or when the budget has
// passed; at no other DoEvents.
TEST_F(WindowFormTest, TheWindowSystemHasATurnWhenAPictureIsDueOrTheBudgetHasPassed) {
    ShowIt();
    window_->answersAtOnce = false;
    struct Case {
        const char* what;
        bool pictureWaits;
        std::optional<std::chrono::milliseconds> refreshIn;
        std::chrono::milliseconds sinceTurn;
        bool turn;
    };
    const std::vector<Case> cases{
        {"a picture waits and its refresh is due", true, 0ms, 1ms, true},
        {"a picture waits for a refresh to come", true, 5ms, 1ms, false},
        {"nothing waits for the refresh", false, -1ms, 1ms, false},
        {"the display tells no refresh", true, std::nullopt, 1ms, false},
        {"the budget has passed", false, std::nullopt, 16ms, true},
        {"the budget has not passed", false, std::nullopt, 15ms, false},
    };
    for (const Case& tried : cases) {
        // Each from a picture just sent and a turn just taken; then the
        // display answers it or not, and nothing new is drawn.
        window_->refresh = now_;
        window_->answered = true;
        form_->Line(4, 4, 10, 6);
        form_->DoEvents();
        window_->answered = !tried.pictureWaits;
        now_ += tried.sinceTurn;
        window_->refresh.reset();
        if (tried.refreshIn) {
            window_->refresh = now_ + *tried.refreshIn;
        }
        const std::size_t turnsBefore = window_->turnsBefore.size();
        form_->DoEvents();
        EXPECT_EQ(window_->turnsBefore.size() > turnsBefore, tried.turn) << tried.what;
        if (tried.turn && window_->turnsBefore.size() > turnsBefore) {
            EXPECT_EQ(window_->turnsBefore.back(), window_->dispatches)
                << tried.what << ": the turn came after dispatch";
        }
    }
}
}  // namespace
