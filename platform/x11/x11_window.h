#pragma once

// The program's window on X11, made through SDL2: SDL's window and events,
// and what SDL leaves to the program on X (the window manager's requests,
// the image at every depth, the desktop's scale).

#include <SDL.h>

#include "platform/form.h"
#include "platform/process/termination_signals.h"
#include "platform/window/native_window.h"
#include "platform/x11/sdl_video.h"
#include "platform/x11/x11_presenter.h"
#include "platform/x11/x11_toplevel.h"

namespace platform::x11 {

// SIGINT and SIGTERM are told as the window's close.
class X11Window final : public NativeWindow {
public:
    X11Window(const FormDesign& design, TerminationSignals& signals);

    [[nodiscard]] WindowPixels Pixels(int width, int height) override { return presenter_.Pixels(width, height); }
    [[nodiscard]] bool Send(const std::vector<PixelRect>& rects) override;
    void SetTitle(const std::string& title) override { SDL_SetWindowTitle(window_.get(), title.c_str()); }
    [[nodiscard]] bool Show(int windowState) override;
    [[nodiscard]] bool Visible() const override { return toplevel_.Visible(); }
    [[nodiscard]] PixelSize ClientSize() const override;
    void Dispatch() override;
    void Wait(Clock::duration longest) override;
    [[nodiscard]] int RefreshRate() const override;

private:
    void Handle(const SDL_Event& event);
    [[nodiscard]] bool Inside(int x, int y) const;

    TerminationSignals& signals_;
    VideoSubsystem video_;
    WindowHandle window_;
    XWindowIds ids_;
    X11Toplevel toplevel_;
    X11Presenter presenter_;
};

}  // namespace platform::x11
