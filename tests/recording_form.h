#pragma once

#include <string>
#include <vector>

#include "platform/form/form_runtime.h"
#include "platform/offscreen/offscreen_form.h"

namespace testing_support {

// An offscreen form that writes down every window service the program uses,
// in order, so that tests can read back what a frame did.
class RecordingForm final : public platform::RuntimeForm {
public:
    RecordingForm(int width, int height);

    [[nodiscard]] platform::OffscreenForm& Offscreen() { return offscreen_; }
    [[nodiscard]] const std::vector<std::string>& Journal() const { return journal_; }

    void Attach(platform::FormEvents& events) override { offscreen_.Attach(events); }

    void AutoRedraw(bool enabled) override;
    void ScaleMode(int mode) override;
    void Show() override;
    void ForeColor(platform::Colour colour) override;
    void BackColor(platform::Colour colour) override;
    void DrawWidth(int pixels) override;
    void WindowState(int state) override;
    [[nodiscard]] float ScaleWidth() const override { return offscreen_.ScaleWidth(); }
    [[nodiscard]] float ScaleHeight() const override { return offscreen_.ScaleHeight(); }
    void Caption(std::string_view text) override;
    void Cls() override;
    void Line(float x1, float y1, float x2, float y2) override;
    void Circle(float x, float y, float radius) override;
    void DoEvents() override;
    void WaitEvents() override;
    [[noreturn]] void End() override;

private:
    platform::OffscreenForm offscreen_;
    std::vector<std::string> journal_;
};

}  // namespace testing_support
