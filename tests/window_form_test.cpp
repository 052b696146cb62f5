// The window form, what every kind of window does, held against a native
// window of the test's own: what it is sent and when, what makes a click,
// when the program's events are raised, the title's pace, resting while
// hidden, and the show and state requests.

#include "platform/window/window_form.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
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

class WindowFormTest : public testing::Test {
protected:
    WindowFormTest() {
        auto owned = std::make_unique<FakeWindow>();
        window_ = owned.get();
        form_ = std::make_unique<WindowForm>(app::Form1::Design(), std::move(owned), [this] { return now_; });
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
    std::unique_ptr<WindowForm> form_;
    CountedEvents events_;
};

TEST_F(WindowFormTest, SendsTheFirstFrameWholeThenOnlyTheChangedTilesAndLaterWhatWasRefused) {
    ShowIt();
    ASSERT_EQ(window_->sent.size(), 1U) << "an unchanged frame is not sent again";
    EXPECT_EQ(window_->sent[0], (std::vector<PixelRect>{{0, 0, kWidth, kHeight}}));

    // A short stroke in the top-left corner: only its tiles go.
    form_->Line(4, 4, 10, 6);
    form_->DoEvents();
    ASSERT_EQ(window_->sent.size(), 2U);
    for (const PixelRect& rect : window_->sent[1]) {
        EXPECT_TRUE(Within(rect, {0, 0, 32, 32}))
            << rect.x << ", " << rect.y << " " << rect.width << " x " << rect.height;
    }
    EXPECT_EQ(window_->memory, ImagePixels());

    // Refused twice, then taken: what it missed comes with the next frame's.
    window_->refusesSends = true;
    form_->Cls();
    form_->Line(80, 50, 90, 60);
    form_->DoEvents();
    form_->Line(40, 10, 44, 12);
    form_->DoEvents();
    EXPECT_EQ(window_->sent.size(), 2U);
    window_->refusesSends = false;
    form_->DoEvents();
    ASSERT_EQ(window_->sent.size(), 3U);
    EXPECT_EQ(window_->memory, ImagePixels()) << "a refused rectangle was not sent again";

    // Exposed, the window is sent the whole picture again.
    window_->script[window_->dispatches + 1] = [](FakeWindow& window) { window.Tell([](auto& e) { e.Exposed(); }); };
    form_->DoEvents();
    form_->DoEvents();
    ASSERT_EQ(window_->sent.size(), 4U);
    EXPECT_EQ(window_->sent[3], (std::vector<PixelRect>{{0, 0, kWidth, kHeight}}));
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

TEST_F(WindowFormTest, ACloseDuringDispatchRaisesUnloadAfterIt) {
    ShowIt();
    window_->script[window_->dispatches + 1] = [](FakeWindow& window) {
        window.Tell([](auto& e) { e.CloseRequested(); });
    };
    form_->DoEvents();
    EXPECT_EQ(events_.unloads, 1);
    EXPECT_FALSE(events_.unloadedWhileDispatching);
    form_->DoEvents();
    EXPECT_EQ(events_.unloads, 1) << "one close, one Unload";
}

TEST_F(WindowFormTest, TheTitleGoesAtMostOnceARefreshAndTheLastAlwaysArrives) {
    ShowIt();
    window_->titles.clear();
    // A thousand frames a second for a second, each with a new title.
    std::string last;
    for (int frame = 0; frame < 1000; ++frame) {
        now_ += 1ms;
        last = "Fii on suunnilleen " + std::to_string(frame);
        form_->Caption(last);
        form_->DoEvents();
    }
    EXPECT_LE(window_->titles.size(), 61U);
    EXPECT_GE(window_->titles.size(), 50U) << "the title is held back for more than a refresh";
    // Nothing more is set, and the last one still arrives a refresh later.
    now_ += 17ms;
    form_->DoEvents();
    ASSERT_FALSE(window_->titles.empty());
    EXPECT_EQ(window_->titles.back(), last);
}

TEST_F(WindowFormTest, ShowAndStateRequestsMadeBeforeTheWindowTakesThemAreAppliedOnceItCan) {
    window_->takesShow = false;
    form_->WindowState(platform::kWindowStateMaximised);
    form_->DoEvents();
    form_->Show();
    form_->DoEvents();
    form_->DoEvents();
    EXPECT_TRUE(window_->shows.empty());
    window_->takesShow = true;
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
    app::Form1 form1(form, '.');
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
    app::Form1 referenceForm1(reference, '.');
    EXPECT_FALSE(platform::RunForm(reference, referenceForm1));
    const auto rows = form.Image().Rows();
    const auto expected = reference.Image().Rows();
    ASSERT_EQ(rows.width, expected.width);
    ASSERT_EQ(rows.height, expected.height);
    EXPECT_EQ(std::memcmp(rows.data, expected.data, static_cast<std::size_t>(rows.stride) * rows.height), 0);
}

}  // namespace
