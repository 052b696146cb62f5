#pragma once

#include <SDL.h>

#include "platform/form_properties.h"
#include "platform/form_runtime.h"
#include "platform/persistent_image.h"
#include "platform/sdl/sdl_handles.h"

namespace platform::sdl {

// The form as a real window on SDL. It owns the persistent image, draws into
// it with cairo and copies it to the window surface at every DoEvents.
class SdlForm final : public RuntimeForm {
public:
    explicit SdlForm(const FormDesign& design);

    void Attach(FormEvents& events) override { events_ = &events; }

    void AutoRedraw(bool enabled) override { properties_.AutoRedraw(enabled); }
    void ScaleMode(int mode) override { properties_.ScaleMode(mode); }
    void Show() override;
    void ForeColor(Colour colour) override { properties_.ForeColor(colour); }
    void BackColor(Colour colour) override { properties_.BackColor(colour); }
    void DrawWidth(int pixels) override { properties_.DrawWidth(pixels); }
    void WindowState(int state) override;
    [[nodiscard]] float ScaleWidth() const override;
    [[nodiscard]] float ScaleHeight() const override;
    void Caption(std::string_view text) override;
    void Cls() override { image_.Clear(properties_.BackColor()); }
    void Line(float x1, float y1, float x2, float y2) override;
    void Circle(float x, float y, float radius) override;
    void DoEvents() override;
    void WaitEvents() override;
    [[noreturn]] void End() override { EndProgram(); }

private:
    void ApplyWindowRequests();
    void Present();
    void Handle(const SDL_Event& event);
    void HandleWindowEvent(const SDL_WindowEvent& event);
    void FollowClientArea();
    [[nodiscard]] FormEvents& Events() const;

    VideoSubsystem video_;
    WindowHandle window_;
    FormProperties properties_;
    PersistentImage image_;
    FormEvents* events_ = nullptr;

    bool showRequested_ = false;
    bool stateRequested_ = false;
    bool mapped_ = false;
    bool minimised_ = false;
    bool buttonDown_ = false;
};

}  // namespace platform::sdl
