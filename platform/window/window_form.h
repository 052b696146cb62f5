#pragma once

// The form as a real window, on every desktop: what a window does with the
// program's frames and with what the window system tells, written once over
// the native window each desktop supplies (x11/, wayland/, win32/, and
// offscreen/ for a form without a window).

#include <functional>
#include <memory>
#include <vector>

#include "platform/form/image_form.h"
#include "platform/window/native_window.h"
#include "platform/window/title_throttle.h"

namespace platform {

// At every DoEvents the window is shown and put in its state once it can
// take that, shows the last frame (all of it when the window holds nothing
// of ours, otherwise only the tiles that changed), gets the title when it is
// due, and has its events dispatched; a click or a close is raised once
// they all are, so that End never unwinds through the window system. While
// the window cannot be seen its client area is empty and the form rests.
class WindowForm : public ImageForm, private NativeWindowEvents {
public:
    using Clock = NativeWindow::Clock;
    using Now = std::function<Clock::time_point()>;

    // `now` tells the time the title is paced by.
    WindowForm(const FormDesign& design, std::unique_ptr<NativeWindow> window, Now now = Clock::now);
    ~WindowForm() override = default;
    WindowForm(const WindowForm&) = delete;
    WindowForm& operator=(const WindowForm&) = delete;

    void Show() override { showRequested_ = true; }
    void WindowState(int state) override;
    [[nodiscard]] float ScaleWidth() const override;
    [[nodiscard]] float ScaleHeight() const override;
    void Caption(std::string_view text) override { MutableProperties().Caption(text); }
    void DoEvents() override;
    void WaitEvents() override;

protected:
    [[nodiscard]] NativeWindow& Window() const { return *window_; }

private:
    void Pressed(bool inside) override { buttonDown_ = inside; }
    void Released(bool inside) override;
    void CloseRequested() override { closePending_ = true; }
    void Resized() override { resized_ = true; }
    void Exposed() override { sendWhole_ = true; }

    void ApplyRequests();
    void Present();
    void SendTitle();
    void RaisePending();
    void FollowWindow();

    std::unique_ptr<NativeWindow> window_;
    Now now_;
    TitleThrottle title_;

    // Show and WindowState, held until the window takes them.
    bool showRequested_ = false;
    bool stateRequested_ = false;
    bool shown_ = false;

    // Whether the window could be seen when it was last looked at, and
    // whether its client area may have changed since the image followed it.
    bool visible_ = false;
    bool resized_ = false;
    // The window holds nothing of ours: the next frame goes whole.
    bool sendWhole_ = true;
    // Copied for the window but not taken by it yet.
    std::vector<PixelRect> unsent_;

    bool buttonDown_ = false;
    bool clickPending_ = false;
    bool closePending_ = false;
};

}  // namespace platform
