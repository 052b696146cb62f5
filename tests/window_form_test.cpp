// The window form, what every kind of window does, held against a native
// window of the test's own: what it is sent and when, at the display's pace,
// what makes a click, when the program's events are raised, the title,
// resting while hidden or unanswered, and the show and state requests.

#include "platform/window/window_form.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "app/form1.h"
#include "platform/form/form_runtime.h"
#include "platform/offscreen/offscreen_form.h"
#include "tests/fake_native_window.h"

namespace {

using namespace std::chrono_literals;
using platform::PixelRect;
using platform::PixelSize;
using platform::WindowForm;
using testing_support::FakeWindow;

constexpr int kWidth = FakeWindow::kWidth;
constexpr int kHeight = FakeWindow::kHeight;

// The program's events, counted; a close is cancelled so that the form
// goes on and can be looked at after.
struct CountedEvents final : platform::FormEvents {
    void Load() override {}
    void Click() override { ++clicks; }
    void Unload(std::int16_t& Cancel) override {
        ++unloads;
        unloadedWhileDispatching = unloadedWhileDispatching || (window != nullptr && window->dispatching);
        Cancel = 1;
    }

    const FakeWindow* window = nullptr;
    int clicks = 0;
    int unloads = 0;
    bool unloadedWhileDispatching = false;
};

// SIGINT or SIGTERM, as the test sends them.
struct FakeSignals final : platform::CloseSignals {
    [[nodiscard]] int Descriptor() const override { return 42; }
    [[nodiscard]] bool Arrived() override { return std::exchange(pending, false); }
    bool pending = false;
};

class WindowFormTest : public testing::Test {
protected:
    WindowFormTest() {
        auto owned = std::make_unique<FakeWindow>();
        owned->dotsPerInch = 144;
        window_ = owned.get();
        auto signals = std::make_unique<FakeSignals>();
        signals_ = signals.get();
        form_ = std::make_unique<WindowForm>(app::Form1::Design(), std::move(owned), std::move(signals),
                                             [this] { return now_; });
        events_.window = window_;
        form_->Attach(events_);
    }

    // Shown, with its first frame sent, and red to draw in.
    void ShowIt() {
        form_->ForeColor(255);
        form_->BackColor(0);
        form_->DrawWidth(5);
        form_->Show();
        form_->DoEvents();
        form_->DoEvents();
    }

    [[nodiscard]] std::vector<std::uint32_t> ImagePixels() const {
        const platform::PixelRows rows = form_->Image().Rows();
        std::vector<std::uint32_t> pixels(static_cast<std::size_t>(rows.width) * rows.height);
        std::memcpy(pixels.data(), rows.data, pixels.size() * 4);
        return pixels;
    }

    static bool Within(const PixelRect& inner, const PixelRect& outer) {
        return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.width <= outer.x + outer.width &&
               inner.y + inner.height <= outer.y + outer.height;
    }

    platform::NativeWindow::Clock::time_point now_{};
    FakeWindow* window_ = nullptr;
    FakeSignals* signals_ = nullptr;
    std::unique_ptr<WindowForm> form_;
    CountedEvents events_;
};

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

TEST_F(WindowFormTest, AClickIsAPressAndAReleaseInsideTheClientArea) {
    ShowIt();
    struct Case {
        const char* what;
        std::function<void(platform::NativeWindowEvents&)> events;
        int clicks;
    };
    const std::vector<Case> cases{
        {"a press alone", [](auto& e) { e.Pressed(true); }, 0},
        {"a release alone", [](auto& e) { e.Released(true); }, 0},
        {"a press and a release inside", [](auto& e) { e.Pressed(true), e.Released(true); }, 1},
        {"released outside", [](auto& e) { e.Pressed(true), e.Released(false); }, 0},
        {"pressed outside", [](auto& e) { e.Pressed(false), e.Released(true); }, 0},
    };
    for (const Case& tried : cases) {
        // Each from no button held.
        window_->script[window_->dispatches + 1] = [](FakeWindow& window) {
            window.Tell([](auto& e) { e.Released(false); });
        };
        form_->DoEvents();
        events_.clicks = 0;
        window_->script[window_->dispatches + 1] = [&](FakeWindow& window) { window.Tell(tried.events); };
        form_->DoEvents();
        EXPECT_EQ(events_.clicks, tried.clicks) << tried.what;
    }
    // Pressed in one dispatch and released in the next is a click too.
    events_.clicks = 0;
    window_->script[window_->dispatches + 1] = [](FakeWindow& window) {
        window.Tell([](auto& e) { e.Pressed(true); });
    };
    window_->script[window_->dispatches + 2] = [](FakeWindow& window) {
        window.Tell([](auto& e) { e.Released(true); });
    };
    form_->DoEvents();
    EXPECT_EQ(events_.clicks, 0);
    form_->DoEvents();
    EXPECT_EQ(events_.clicks, 1);
}

TEST_F(WindowFormTest, ACloseOrASignalDuringDispatchRaisesUnloadOnceAfterIt) {
    ShowIt();
    const std::vector<std::pair<const char*, std::function<void(FakeWindow&)>>> closes{
        {"the window's close", [](FakeWindow& window) { window.Tell([](auto& e) { e.CloseRequested(); }); }},
        {"a signal", [this](FakeWindow& /*window*/) { signals_->pending = true; }},
    };
    for (const auto& [what, close] : closes) {
        events_.unloads = 0;
        window_->script[window_->dispatches + 1] = close;
        form_->DoEvents();
        EXPECT_EQ(events_.unloads, 1) << what;
        EXPECT_FALSE(events_.unloadedWhileDispatching) << what;
        form_->DoEvents();
        EXPECT_EQ(events_.unloads, 1) << what << ": one close, one Unload";
    }
}

TEST_F(WindowFormTest, ShowAndStateGoToTheWindowAtTheNextDoEventsWithTheNormalSizeAtItsDpi) {
    EXPECT_EQ(window_->normalSize, (PixelSize{468, 320})) << "4680 x 3195 twips at 144 dots per inch";
    EXPECT_EQ(window_->titles, (std::vector<std::string>{"Form1"}));
    form_->Show();
    form_->WindowState(platform::kWindowStateMaximised);
    EXPECT_TRUE(window_->shows.empty()) << "the window comes up in the state Load gives it";
    form_->DoEvents();
    EXPECT_EQ(window_->shows, (std::vector<int>{platform::kWindowStateMaximised}));
    form_->DoEvents();
    EXPECT_EQ(window_->shows.size(), 1U) << "asked once";
    form_->WindowState(platform::kWindowStateNormal);
    form_->DoEvents();
    EXPECT_EQ(window_->shows, (std::vector<int>{platform::kWindowStateMaximised, platform::kWindowStateNormal}));
}

TEST_F(WindowFormTest, AResizedClientAreaIsFollowedButAnEmptyOneOnlyInSight) {
    ShowIt();
    // Minimised, as Windows has it: hidden, and no client area.
    window_->visible = false;
    window_->size = {0, 0};
    window_->script[window_->dispatches + 1] = [](FakeWindow& window) { window.Tell([](auto& e) { e.Resized(); }); };
    form_->DoEvents();
    EXPECT_EQ(form_->ScaleWidth(), 0.0F) << "a window that cannot be seen has no client area";
    EXPECT_EQ(form_->Image().Width(), kWidth) << "the picture is kept for the window's return";
    // Still hidden, it is made larger: the image is ready when it is shown.
    window_->size = {kWidth * 2, kHeight};
    window_->script[window_->dispatches + 1] = [](FakeWindow& window) { window.Tell([](auto& e) { e.Resized(); }); };
    form_->DoEvents();
    EXPECT_EQ(form_->ScaleWidth(), 0.0F);
    EXPECT_EQ(form_->Image().Width(), kWidth * 2);
    window_->visible = true;
    form_->DoEvents();
    EXPECT_EQ(form_->ScaleWidth(), static_cast<float>(kWidth * 2));
    form_->DoEvents();
    EXPECT_EQ(window_->sent.back(), (std::vector<PixelRect>{{0, 0, kWidth * 2, kHeight}}));
}

// Form1 on the window form: hidden after three frames it waits instead of
// drawing, and shown again it draws on from the fourth turn.
TEST(WindowFormRestTest, RestsWhileItCannotBeSeenAndTurnsOnFromWhereItStopped) {
    auto owned = std::make_unique<FakeWindow>();
    FakeWindow& window = *owned;
    // Dispatch 1 comes before the first frame: frames 1 to 3 are drawn,
    // then the window is hidden for a while, then two more frames.
    window.script[4] = [](FakeWindow& w) { w.visible = false; };
    window.script[8] = [](FakeWindow& w) { w.visible = true; };
    window.script[10] = [](FakeWindow& w) { w.Tell([](auto& e) { e.Pressed(true), e.Released(true); }); };
    WindowForm form(app::Form1::Design(), std::move(owned));
    app::Form1 form1(form, ".");
    EXPECT_FALSE(platform::RunForm(form, form1));
    // Hidden from the fourth dispatch to the eighth: Form1 waits, looks
    // again, and waits once more.
    EXPECT_EQ(window.waits.size(), 2U);
    for (const auto wait : window.waits) {
        EXPECT_GT(wait, 0s);
        EXPECT_LE(wait, 1s) << "a form at rest still looks round every second";
    }

    // Five frames drawn in all, as an offscreen form leaves them.
    platform::OffscreenForm reference(app::Form1::Design(), kWidth, kHeight);
    reference.At(6, {platform::ScriptedEvent::Kind::Click});
    app::Form1 referenceForm1(reference, ".");
    EXPECT_FALSE(platform::RunForm(reference, referenceForm1));
    const auto rows = form.Image().Rows();
    const auto expected = reference.Image().Rows();
    ASSERT_EQ(rows.width, expected.width);
    ASSERT_EQ(rows.height, expected.height);
    EXPECT_EQ(std::memcmp(rows.data, expected.data, static_cast<std::size_t>(rows.stride) * rows.height), 0);
}

// Form1 on a display that answers now and then, on a clock that moves on
// at every reading, so that the silence limit passes at every point of a
// frame in turn: no title shows a ratio the geometry could not give.
TEST(WindowFormRestTest, TheTitleNeverShowsARatioTheGeometryCouldNotGive) {
    constexpr int kDispatches = 3000;
    auto owned = std::make_unique<FakeWindow>();
    FakeWindow& window = *owned;
    window.answersAtOnce = false;
    std::mt19937 random(20261210);
    for (int dispatch = 1; dispatch < kDispatches; ++dispatch) {
        window.script[dispatch] = [&random](FakeWindow& w) { w.answered = w.answered || random() % 8 == 0; };
    }
    window.script[kDispatches] = [](FakeWindow& w) { w.Tell([](auto& e) { e.Pressed(true), e.Released(true); }); };
    platform::NativeWindow::Clock::time_point now{};
    WindowForm form(app::Form1::Design(), std::move(owned), nullptr,
                    [&] { return now += std::chrono::milliseconds(random() % 40); });
    app::Form1 form1(form, ".");
    EXPECT_FALSE(platform::RunForm(form, form1));
    ASSERT_GT(window.titles.size(), 50U);
    for (std::size_t title = 1; title < window.titles.size(); ++title) {
        ASSERT_TRUE(window.titles[title].starts_with("Fii on suunnilleen 1.618033988749")) << window.titles[title];
    }
}

}  // namespace
