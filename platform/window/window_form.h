#pragma once

// The form as a real window, on every desktop: what a window does with the
// program's frames and with what the window system tells, written once over
// the native window each desktop supplies (x11/, wayland/, win32/, and
// offscreen/ for a form without a window).

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/form/image_form.h"
#include "platform/window/click_rule.h"
#include "platform/window/close_signals.h"
#include "platform/window/native_window.h"
#include "platform/window/refresh_pace.h"

namespace platform {

// At every DoEvents the window is shown and put in its state, shows the last
// frame at its display's pace, and has its events dispatched; a click or a
// close is raised once they all are, so that End never unwinds through the
// window system.
//
// The pace: a picture goes only when the display can take one, and carries
// all that changed since the picture the window holds (all of it when the
// window holds nothing of ours); the frames drawn meanwhile add up in the
// image's changed tiles, and the frame loop never waits. The title goes with
// a picture, at most once between two of the display's answers; where no
// picture can go, the last one set goes on its own. A display that stops
// answering shows nothing of the window: like a window that cannot be
// seen, its client area is then empty and the form rests.
class WindowForm : public ImageForm, private NativeWindowEvents {
public:
    using Clock = NativeWindow::Clock;
    using Now = std::function<Clock::time_point()>;

    // `signals`, where there are any, close the window as its close button
    // does. `now` tells the time a display's silence is measured in.
    WindowForm(const FormDesign& design, std::unique_ptr<NativeWindow> window,
               std::unique_ptr<CloseSignals> signals = nullptr, Now now = Clock::now);
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
    void Pointed(const PointerEvent& event) override;
    void CloseRequested() override { closePending_ = true; }
    void Resized() override { resized_ = true; }
    void Exposed() override { sendWhole_ = true; }
    void Refreshed(Clock::time_point at) override { refreshes_.Refreshed(at); }

    [[nodiscard]] bool InSight() const;
    void ApplyRequests();
    void Present();
    void SendTitle(bool withPicture);
    void GiveTurnWhenDue();
    void FollowPace();
    void RaisePending();
    void FollowWindow();

    std::unique_ptr<NativeWindow> window_;
    std::unique_ptr<CloseSignals> signals_;
    Now now_;

    // Show and WindowState, held until the next DoEvents: the window comes
    // up in the state Load gave it.
    bool showRequested_ = false;
    bool stateRequested_ = false;
    bool shown_ = false;

    // Whether the window could be seen when DoEvents last looked, which
    // holds until the next one; and whether its client area may have
    // changed since the image followed it.
    bool inSight_ = false;
    bool resized_ = false;
    // The window holds nothing of ours: the next picture goes whole.
    bool sendWhole_ = true;
    // When the last picture went, while the display has not taken it.
    std::optional<Clock::time_point> unanswered_;
    // The title the window has; whether a title went since the display last
    // answered, and one went without a picture. The design's title went
    // before any picture, with nothing for the display to answer: the first
    // picture carries the first frame's title, as a launcher waits for it.
    std::string title_;
    bool titleSinceAnswer_ = false;
    bool titleAlone_ = false;

    // When the window system last had a turn, where it needs them, and
    // when its display refreshes, where it tells.
    Clock::time_point lastTurn_;
    RefreshPace refreshes_;

    ClickRule clicks_;
    bool clickPending_ = false;
    bool closePending_ = false;
};

}  // namespace platform
