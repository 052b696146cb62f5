#pragma once

#include "platform/form/form_runtime.h"

namespace platform {

// A form that passes everything on to another, for a form that changes one
// thing of another's and no more: a benchmark's frame counter, a pen for a
// small icon.
class FormForwarder : public RuntimeForm {
public:
    explicit FormForwarder(RuntimeForm& form) : form_(form) {}

    void Attach(FormEvents& events) override { form_.Attach(events); }
    void AutoRedraw(bool enabled) override { form_.AutoRedraw(enabled); }
    void ScaleMode(int mode) override { form_.ScaleMode(mode); }
    void Show() override { form_.Show(); }
    void ForeColor(Colour colour) override { form_.ForeColor(colour); }
    void BackColor(Colour colour) override { form_.BackColor(colour); }
    void DrawWidth(int pixels) override { form_.DrawWidth(pixels); }
    void WindowState(int state) override { form_.WindowState(state); }
    [[nodiscard]] float ScaleWidth() const override { return form_.ScaleWidth(); }
    [[nodiscard]] float ScaleHeight() const override { return form_.ScaleHeight(); }
    void Caption(std::string_view text) override { form_.Caption(text); }
    void Cls() override { form_.Cls(); }
    void Line(float x1, float y1, float x2, float y2) override { form_.Line(x1, y1, x2, y2); }
    void Circle(float x, float y, float radius) override { form_.Circle(x, y, radius); }
    void DoEvents() override { form_.DoEvents(); }
    void WaitEvents() override { form_.WaitEvents(); }
    // End is the runtime's, whichever form it is called on.
    [[noreturn]] void End() override { EndProgram(); }

protected:
    [[nodiscard]] RuntimeForm& Forwarded() const { return form_; }

private:
    RuntimeForm& form_;
};

}  // namespace platform
