#pragma once

// The form as a real window on SDL2, under X11: the desktop entry point,
// the window and its events, and what SDL leaves to the program on X (the
// window manager's requests, the image at every depth, the desktop's DPI).

#include <SDL.h>

#include <memory>

#include "platform/image_form.h"
#include "platform/sdl/sdl_handles.h"
#include "platform/sdl/x11_presenter.h"
#include "platform/sdl/x11_toplevel.h"
#include "platform/termination_signals.h"
#include "platform/title_throttle.h"

namespace platform::sdl {

// At every DoEvents the window shows what changed in the persistent image,
// the title goes to the window manager when due, and the window's events
// (and SIGINT and SIGTERM, as a close) are delivered to the program.
class SdlForm final : public ImageForm {
public:
    SdlForm(const FormDesign& design, TerminationSignals& signals);

    void Show() override;
    void WindowState(int state) override;
    [[nodiscard]] float ScaleWidth() const override;
    [[nodiscard]] float ScaleHeight() const override;
    void Caption(std::string_view text) override;
    void DoEvents() override;
    void WaitEvents() override;

private:
    void Present();
    void SendTitle();
    void Handle(const SDL_Event& event);
    void HandleWindowEvent(const SDL_WindowEvent& event);
    void FollowClientArea();

    TerminationSignals& signals_;
    VideoSubsystem video_;
    WindowHandle window_;
    X11Window x11_;
    TitleThrottle title_;
    X11Toplevel toplevel_;
    X11Presenter presenter_;

    bool buttonDown_ = false;
    // The window holds nothing of ours: it is new, or was exposed or hidden.
    bool exposed_ = true;
};

}  // namespace platform::sdl
