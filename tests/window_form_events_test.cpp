// The window form's events and states, held against a native window of the
// test's own: what makes a click, when the program's events are raised, the
// show and state requests, the client area followed, and resting while the
// window cannot be seen or its display does not answer.

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "platform/form/form_runtime.h"
#include "platform/offscreen/offscreen_form.h"
#include "tests/window_form_fixture.h"

namespace {

using namespace std::chrono_literals;
using namespace testing_support;

// The mouse's button, down or up at (x, y).
auto Mouse(platform::PointerEvent::Action action, double x, double y) {
    return [=](platform::NativeWindowEvents& e) { e.Pointed({action, {}, platform::PointerPosition{x, y}}); };
}
const auto kDown = platform::PointerEvent::Action::Down;
const auto kUp = platform::PointerEvent::Action::Up;

// What makes a click is the click rule's (its own table); the form raises
// it once the dispatch is over, judged against the client area the window
// has when it tells of the pointer.
TEST_F(WindowFormTest, AClickIsRaisedAfterTheDispatchAndJudgedByTheClientArea) {
    ShowIt();
    window_->script[window_->dispatches + 1] = [](FakeWindow& window) {
        window.Tell(Mouse(kDown, kWidth - 1, 5));
        window.Tell(Mouse(kUp, kWidth - 1, 5));
        window.size = {kWidth - 1, kHeight};
        window.Tell(Mouse(kDown, kWidth - 1, 5));
        window.Tell(Mouse(kUp, kWidth - 1, 5));
    };
    form_->DoEvents();
    EXPECT_EQ(events_.clicks, 1) << "one click inside, one on a column the client area no longer has";
    // Pressed in one dispatch and released in the next is a click too.
    events_.clicks = 0;
    window_->script[window_->dispatches + 1] = [](FakeWindow& window) { window.Tell(Mouse(kDown, 5, 5)); };
    window_->script[window_->dispatches + 2] = [](FakeWindow& window) { window.Tell(Mouse(kUp, 6, 6)); };
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
    window.script[10] = [](FakeWindow& w) { w.Tell(Mouse(kDown, 1, 1)), w.Tell(Mouse(kUp, 1, 1)); };
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
    window.script[kDispatches] = [](FakeWindow& w) { w.Tell(Mouse(kDown, 1, 1)), w.Tell(Mouse(kUp, 1, 1)); };
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
