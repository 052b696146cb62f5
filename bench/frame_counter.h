#pragma once

// A form that passes everything on to a real one and ends the program a
// number of frames after the window has settled, so that the program's own
// loop is timed. Shared by the windowed benchmarks of every kind of window.

#include <chrono>
#include <functional>
#include <utility>

#include "platform/form/form_forwarder.h"
#include "platform/form/form_runtime.h"

class FrameCounter final : public platform::FormForwarder {
public:
    using Clock = std::chrono::steady_clock;
    // Told the client area's width before each frame's title; timing starts
    // at the first frame for which it says the window has settled.
    using Settled = std::function<bool(float width)>;

    FrameCounter(platform::RuntimeForm& form, long frames, Settled settled)
        : FormForwarder(form), frames_(frames), settled_(std::move(settled)) {}

    void Caption(std::string_view text) override {
        width_ = ScaleWidth();
        if (!started_ && settled_(width_)) {
            started_ = true;
            start_ = Clock::now();
        }
        Forwarded().Caption(text);
    }
    void DoEvents() override {
        Forwarded().DoEvents();
        if (started_ && ++counted_ > frames_) {
            End();
        }
    }
    [[nodiscard]] double FramesPerSecond() const {
        return static_cast<double>(frames_) / std::chrono::duration<double>(Clock::now() - start_).count();
    }
    // The width of the last frame timed.
    [[nodiscard]] float Width() const { return width_; }

private:
    long frames_;
    Settled settled_;
    long counted_ = 0;
    bool started_ = false;
    float width_ = 0;
    Clock::time_point start_;
};
