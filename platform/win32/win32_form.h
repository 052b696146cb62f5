#pragma once

#include <windows.h>

#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "platform/image_form.h"
#include "platform/title_throttle.h"
#include "platform/win32/win32_presenter.h"

namespace platform::win32 {

// The form as a native Win32 window. Its normal client area is the design's
// twips at the monitor's DPI (the program is per-monitor DPI aware); the
// window procedure only notes what happened, and DoEvents raises the
// program's events once the messages are dispatched, so that End never
// unwinds through Windows.
class Win32Form final : public ImageForm {
public:
    explicit Win32Form(const FormDesign& design, bool wholeFrames = false);
    ~Win32Form() override;
    Win32Form(const Win32Form&) = delete;
    Win32Form& operator=(const Win32Form&) = delete;

    void Show() override { showRequested_ = true; }
    void WindowState(int state) override;
    [[nodiscard]] float ScaleWidth() const override;
    [[nodiscard]] float ScaleHeight() const override;
    void Caption(std::string_view text) override { MutableProperties().Caption(text); }
    void DoEvents() override;
    void WaitEvents() override;

private:
    struct WindowDestroyer {
        void operator()(HWND window) const { DestroyWindow(window); }
    };

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

    void ApplyWindowRequests();
    void SendTitle();
    void RaisePending();
    void FollowClientArea();
    [[nodiscard]] bool OnScreen() const;
    [[nodiscard]] std::pair<int, int> NormalWindowSize() const;

    FormDesign design_;
    Win32Presenter presenter_;
    std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer> window_;
    std::optional<TitleThrottle> title_;

    bool showRequested_ = false;
    bool stateRequested_ = false;
    bool shown_ = false;
    bool fresh_ = true;
    bool sizeChanged_ = false;

    bool buttonDown_ = false;
    bool clickPending_ = false;
    bool closePending_ = false;
    // A failure inside the window procedure, raised once it has returned.
    std::exception_ptr failure_;
};

}  // namespace platform::win32
