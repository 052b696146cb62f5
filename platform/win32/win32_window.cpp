#include "platform/win32/win32_window.h"

#include <dwmapi.h>
#include <windowsx.h>

#include "platform/run_time_error.h"
#include "platform/win32/win32_text.h"

namespace platform::win32 {
namespace {

constexpr const wchar_t* kWindowClass = L"PentagramForm";
constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW;
constexpr DWORD kExtendedStyle = 0;

// Windows hands the form's pointers over in integer-sized message parameters.
template <typename T>
T* PointerIn(LONG_PTR value) {
    return reinterpret_cast<T*>(value);  // NOLINT(performance-no-int-to-ptr): the Win32 calling contract
}

// The window class, registered once for the process.
void RegisterWindowClass(WNDPROC procedure) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = kWindowClass;
    if (RegisterClassExW(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        ThrowLastError("cannot open the window");
    }
}

// Where a mouse message says the pointer is, in the client area's pixels.
PointerPosition Position(LPARAM lParam) {
    return {static_cast<double>(GET_X_LPARAM(lParam)), static_cast<double>(GET_Y_LPARAM(lParam))};
}

}  // namespace

Win32Window::Win32Window() {
    RegisterWindowClass(Procedure);
    HWND window = CreateWindowExW(kExtendedStyle, kWindowClass, L"", kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    if (window == nullptr) {
        ThrowLastError("cannot open the window");
    }
    window_.reset(window);
    ReadRefreshPeriod();
}

Win32Window::~Win32Window() {
    if (window_) {
        SetWindowLongPtrW(window_.get(), GWLP_USERDATA, 0);
    }
}

void Win32Window::Send(const std::vector<PixelRect>& rects) {
    presenter_.Send(window_.get(), rects);
    nextPicture_ = Clock::now() + refreshPeriod_;
}

void Win32Window::SetTitle(const std::string& title) {
    if (SetWindowTextW(window_.get(), Wide(title).c_str()) == 0) {
        ThrowLastError("cannot set the window's title");
    }
}

// The window's outer size for this client area at its monitor's DPI.
void Win32Window::SizeNormally(PixelSize size) {
    const UINT dpi = GetDpiForWindow(window_.get());
    RECT area{0, 0, size.width, size.height};
    if (AdjustWindowRectExForDpi(&area, kStyle, FALSE, kExtendedStyle, dpi) == 0 ||
        SetWindowPos(window_.get(), nullptr, 0, 0, area.right - area.left, area.bottom - area.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE) == 0) {
        ThrowLastError("cannot size the window");
    }
}

void Win32Window::Show(int windowState) {
    switch (windowState) {
        case kWindowStateMaximised:
            ShowWindow(window_.get(), SW_SHOWMAXIMIZED);
            break;
        case kWindowStateMinimised:
            ShowWindow(window_.get(), SW_SHOWMINIMIZED);
            break;
        default:
            ShowWindow(window_.get(), shown_ ? SW_RESTORE : SW_SHOWNORMAL);
            break;
    }
    shown_ = true;
}

PixelSize Win32Window::ClientSize() const {
    RECT client{};
    if (GetClientRect(window_.get(), &client) == 0) {
        ThrowLastError("cannot read the window's size");
    }
    return {client.right, client.bottom};
}

void Win32Window::Dispatch() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    if (failure_) {
        std::rethrow_exception(std::exchange(failure_, nullptr));
    }
}

// Sleeps until a message comes for the window.
void Win32Window::Wait(Clock::duration longest) {
    const auto timeout = std::chrono::duration_cast<std::chrono::milliseconds>(longest).count();
    // A timeout is not a failure: the caller looks at the window and waits again.
    (void)MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(timeout), QS_ALLINPUT);
}

// The compositor's refresh period, or the display's refresh where the
// compositor does not say; a sixtieth of a second where neither does.
void Win32Window::ReadRefreshPeriod() {
    using Seconds = std::chrono::duration<double>;
    constexpr int kUsualRate = 60;
    DWM_TIMING_INFO timing{};
    timing.cbSize = sizeof timing;
    double seconds = 1.0 / kUsualRate;
    if (SUCCEEDED(DwmGetCompositionTimingInfo(nullptr, &timing)) && timing.rateRefresh.uiNumerator > 0 &&
        timing.rateRefresh.uiDenominator > 0) {
        seconds = static_cast<double>(timing.rateRefresh.uiDenominator) / timing.rateRefresh.uiNumerator;
    } else if (HDC dc = GetDC(window_.get()); dc != nullptr) {
        const int rate = GetDeviceCaps(dc, VREFRESH);
        ReleaseDC(window_.get(), dc);
        if (rate > 1) {
            seconds = 1.0 / rate;
        }
    }
    refreshPeriod_ = std::chrono::duration_cast<Clock::duration>(Seconds(seconds));
}

LRESULT CALLBACK Win32Window::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* creation = PointerIn<const CREATESTRUCTW>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
    }
    auto* form = PointerIn<Win32Window>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (form == nullptr || form->window_.get() != window) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    // Nothing may unwind through Windows: a failure waits for DoEvents.
    try {
        return form->Handle(message, wParam, lParam);
    } catch (...) {
        form->failure_ = std::current_exception();
        return 0;
    }
}

LRESULT Win32Window::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = window_.get();
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            // Captured, so that the release comes here wherever it is.
            SetCapture(window);
            Events().Pointed({PointerEvent::Action::Down, {}, Position(lParam)});
            return 0;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            // Told before the capture goes, which says it went.
            Events().Pointed({PointerEvent::Action::Up, {}, Position(lParam)});
            ReleaseCapture();
            return 0;
        case WM_CAPTURECHANGED:
            // Another window took the mouse mid-press: its release is not ours.
            Events().Pointed({PointerEvent::Action::Cancel, {}, std::nullopt});
            return 0;
        case WM_CLOSE:
            Events().CloseRequested();
            return 0;
        case WM_SIZE:
            Events().Resized();
            return 0;
        case WM_PAINT:
            presenter_.Paint(window);
            return 0;
        case WM_DISPLAYCHANGE:
            ReadRefreshPeriod();
            return DefWindowProcW(window, message, wParam, lParam);
        case WM_DPICHANGED: {
            // Moved to a monitor of another DPI: the size Windows suggests keeps its look.
            const auto* suggested = PointerIn<const RECT>(lParam);
            SetWindowPos(window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                         suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
            return 0;
        }
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace platform::win32
