#pragma once

// What the window form's tests share: a form over a native window of the
// test's own, whose clock the test moves, and the program's events counted.

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "app/form1.h"
#include "platform/window/window_form.h"
#include "tests/fake_native_window.h"

namespace testing_support {

using platform::PixelRect;
using platform::PixelSize;
using platform::WindowForm;

inline constexpr int kWidth = FakeWindow::kWidth;
inline constexpr int kHeight = FakeWindow::kHeight;

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
    explicit WindowFormTest(platform::ImageFormat format = platform::ImageFormat::Xrgb) {
        auto owned = std::make_unique<FakeWindow>();
        owned->format = format;
        owned->dotsPerInch = 144;
        window_ = owned.get();
        auto signals = std::make_unique<FakeSignals>();
        signals_ = signals.get();
        form_ = std::make_unique<WindowForm>(app::Form1::Design(), std::move(owned), std::move(signals),
                                             [this] { return now_; });
        events_.window = window_;
        form_->Attach(events_);
    }

    // Shown, with its first frame (cleared) sent, and red to draw in.
    void ShowIt() {
        form_->ForeColor(255);
        form_->BackColor(0);
        form_->DrawWidth(5);
        form_->Show();
        form_->DoEvents();
        form_->Cls();
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

}  // namespace testing_support
