#pragma once

#include <windows.h>

#include <exception>
#include <memory>
#include <utility>

#include "platform/form.h"
#include "platform/win32/win32_presenter.h"
#include "platform/window/native_window.h"

namespace platform::win32 {

// The program's window as a native Win32 window. Its normal client area is
// the design's twips at the monitor's DPI (the program is per-monitor DPI
// aware). Nothing may unwind through Windows: a failure inside the window
// procedure is raised once the messages are dispatched.
class Win32Window final : public NativeWindow {
public:
    explicit Win32Window(const FormDesign& design);
    ~Win32Window() override;
    Win32Window(const Win32Window&) = delete;
    Win32Window& operator=(const Win32Window&) = delete;

    [[nodiscard]] WindowPixels Pixels(int width, int height) override { return presenter_.Pixels(width, height); }
    [[nodiscard]] bool Send(const std::vector<PixelRect>& rects) override;
    void SetTitle(const std::string& title) override;
    [[nodiscard]] bool Show(int windowState) override;
    [[nodiscard]] bool Visible() const override { return shown_ && IsIconic(window_.get()) == 0; }
    [[nodiscard]] PixelSize ClientSize() const override;
    void Dispatch() override;
    void Wait(Clock::duration longest) override;
    [[nodiscard]] int RefreshRate() const override;

private:
    struct WindowDestroyer {
        void operator()(HWND window) const { DestroyWindow(window); }
    };

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    [[nodiscard]] std::pair<int, int> NormalWindowSize(const FormDesign& design) const;

    Win32Presenter presenter_;
    std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer> window_;
    bool shown_ = false;
    std::exception_ptr failure_;
};

}  // namespace platform::win32
