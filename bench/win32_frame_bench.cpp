// The Windows window's frames per second, the program's own loop: the
// window showing only the tiles that changed, or every frame whole. Run
// under Wine by bench/windows_bench.sh, which interleaves the two ways.
//
//   pentagram_win32_bench changed|whole FRAMES

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/form1.h"
#include "platform/form_runtime.h"
#include "platform/win32/win32_form.h"

namespace {

using Clock = std::chrono::steady_clock;

// Ends the program after a number of frames drawn at the full, maximised
// size, so that the program's own loop is timed.
class FrameCounter final : public platform::RuntimeForm {
public:
    FrameCounter(platform::RuntimeForm& form, long frames) : form_(form), frames_(frames) {}
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
        // Maximised: the width no longer grows.
        if (!started_ && form_.ScaleWidth() > 0 && form_.ScaleWidth() == lastWidth_ && ++steadyFrames_ > 10) {
            started_ = true;
            start_ = Clock::now();
        }
        lastWidth_ = form_.ScaleWidth();
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
    [[nodiscard]] float Width() const { return lastWidth_; }

private:
    platform::RuntimeForm& form_;
    long frames_;
    long counted_ = 0;
    bool started_ = false;
    float lastWidth_ = 0;
    int steadyFrames_ = 0;
    Clock::time_point start_;
};

}  // namespace

int main(int argc, char** argv) {
    const std::string way = argc == 3 ? argv[1] : "";
    if (way != "changed" && way != "whole") {
        std::fprintf(stderr, "usage: pentagram_win32_bench changed|whole FRAMES\n");
        return 2;
    }
    platform::win32::Win32Form form(app::Form1::Design(), way == "whole");
    FrameCounter counter(form, std::atol(argv[2]));
    app::Form1 form1(counter, '.');
    if (const auto error = platform::RunForm(counter, form1)) {
        std::fprintf(stderr, "%s\n", error->c_str());
        return 1;
    }
    std::printf("%.1f %.0f\n", counter.FramesPerSecond(), counter.Width());
    return 0;
}
