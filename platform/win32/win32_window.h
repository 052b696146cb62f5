#pragma once

#include <windows.h>

#include <exception>
#include <memory>
#include <utility>

#include "platform/form.h"
#include "platform/win32/win32_presenter.h"
#include "platform/window/native_window.h"

namespace platform::win32 {

// The program's window as a native Win32 window. Its sizes are in the
// monitor's own pixels (the program is per-monitor DPI aware). Its pace is
// the compositor's refresh period, or the display's refresh where the
// compositor gives none: a picture at most once a period. Nothing may
// unwind through Windows: a failure inside the window procedure is raised
// once the messages are dispatched.
class Win32Window final : public NativeWindow {
public:
    Win32Window();
    ~Win32Window() override;
    Win32Window(const Win32Window&) = delete;
    Win32Window& operator=(const Win32Window&) = delete;

    [[nodiscard]] double DotsPerInch() const override { return GetDpiForWindow(window_.get()); }
    void SizeNormally(PixelSize size) override;
    void SetTitle(const std::string& title) override;
    void Show(int windowState) override;
    [[nodiscard]] bool Visible() const override { return shown_ && IsIconic(window_.get()) == 0; }
    [[nodiscard]] PixelSize ClientSize() const override;
    [[nodiscard]] bool ReadyForPicture() override { return Clock::now() >= nextPicture_; }
    [[nodiscard]] WindowPixels Pixels(const PixelRows& image) override {
        return presenter_.Pixels(image.width, image.height);
    }
    void Send(const std::vector<PixelRect>& rects) override;
    void Dispatch() override;
    void Wait(Clock::duration longest) override;

private:
    struct WindowDestroyer {
        void operator()(HWND window) const { DestroyWindow(window); }
    };

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void ReadRefreshPeriod();

    Win32Presenter presenter_;
    std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer> window_;
    bool shown_ = false;
    Clock::duration refreshPeriod_{};
    Clock::time_point nextPicture_;
    std::exception_ptr failure_;
};

}  // namespace platform::win32
