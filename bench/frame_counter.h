#pragma once

// A form that passes everything on to a real one and ends the program a
// number of frames after the window has settled, so that the program's own
// loop is timed. Shared by the windowed benchmarks of every kind of window.

#include <chrono>
#include <functional>
#include <utility>

#include "platform/form/form_runtime.h"

class FrameCounter final : public platform::RuntimeForm {
public:
    using Clock = std::chrono::steady_clock;
    // Told the client area's width before each frame's title; timing starts
    // at the first frame for which it says the window has settled.
    using Settled = std::function<bool(float width)>;

    FrameCounter(platform::RuntimeForm& form, long frames, Settled settled)
        : form_(form), frames_(frames), settled_(std::move(settled)) {}

    void Attach(platform::FormEvents& events) override { form_.Attach(events); }
    void AutoRedraw(bool enabled) override { form_.AutoRedraw(enabled); }
    void ScaleMode(int mode) override { form_.ScaleMode(mode); }
    void Show() override { form_.Show(); }
    void ForeColor(platform::Colour colour) override { form_.ForeColor(colour); }
    void BackColor(platform::Colour colour) override { form_.BackColor(colour); }
    void DrawWidth(int pixels) override { form_.DrawWidth(pixels); }
    void WindowState(int state) override { form_.WindowState(state); }
    [[nodiscard]] float ScaleWidth() const override { return form_.ScaleWidth(); }
    [[nodiscard]] float ScaleHeight() const override { return form_.ScaleHeight(); }
    void Caption(std::string_view text) override {
        width_ = form_.ScaleWidth();
        if (!started_ && settled_(width_)) {
            started_ = true;
            start_ = Clock::now();
        }
        form_.Caption(text);
    }
    void Cls() override { form_.Cls(); }
    void Line(float x1, float y1, float x2, float y2) override { form_.Line(x1, y1, x2, y2); }
    void Circle(float x, float y, float radius) override { form_.Circle(x, y, radius); }
    void DoEvents() override {
        form_.DoEvents();
        if (started_ && ++counted_ > frames_) {
            End();
        }
    }
    void WaitEvents() override { form_.WaitEvents(); }
    [[noreturn]] void End() override { platform::EndProgram(); }

    [[nodiscard]] double FramesPerSecond() const {
        return static_cast<double>(frames_) / std::chrono::duration<double>(Clock::now() - start_).count();
    }
    // The width of the last frame timed.
    [[nodiscard]] float Width() const { return width_; }

private:
    platform::RuntimeForm& form_;
    long frames_;
    Settled settled_;
    long counted_ = 0;
    bool started_ = false;
    float width_ = 0;
    Clock::time_point start_;
};
