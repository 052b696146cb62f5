#include "platform/win32/win32_form.h"

#include <windowsx.h>

#include "platform/form_properties.h"
#include "platform/run_time_error.h"
#include "platform/win32/win32_text.h"

namespace platform::win32 {
namespace {

constexpr const wchar_t* kWindowClass = L"PentagramForm";
constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW;
constexpr DWORD kExtendedStyle = 0;
// Resting, the form still looks round this often.
constexpr DWORD kLongestRest = 1000;

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

// How often the window's display refreshes, 0 when it does not say.
int RefreshRate(HWND window) {
    HDC dc = GetDC(window);
    if (dc == nullptr) {
        return 0;
    }
    const int rate = GetDeviceCaps(dc, VREFRESH);
    ReleaseDC(window, dc);
    return rate > 1 ? rate : 0;
}

}  // namespace

Win32Form::Win32Form(const FormDesign& design, bool wholeFrames)
    : ImageForm(design), design_(design), presenter_(wholeFrames) {
    RegisterWindowClass(Procedure);
    HWND window =
        CreateWindowExW(kExtendedStyle, kWindowClass, Wide(design.Caption).c_str(), kStyle, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    if (window == nullptr) {
        ThrowLastError("cannot open the window");
    }
    window_.reset(window);
    title_.emplace(design.Caption, TitleThrottle::IntervalForRefreshRate(RefreshRate(window)));
    // The normal size comes from the monitor the window is on.
    const auto [width, height] = NormalWindowSize();
    if (SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE) == 0) {
        ThrowLastError("cannot size the window");
    }
    FollowClientArea();
}

Win32Form::~Win32Form() {
    if (window_) {
        SetWindowLongPtrW(window_.get(), GWLP_USERDATA, 0);
    }
}

void Win32Form::WindowState(int state) {
    MutableProperties().WindowState(state);
    stateRequested_ = true;
}

// Nothing to draw on while the window is minimised or not yet shown.
bool Win32Form::OnScreen() const { return shown_ && IsIconic(window_.get()) == 0; }

float Win32Form::ScaleWidth() const { return OnScreen() ? static_cast<float>(Image().Width()) : 0.0F; }

float Win32Form::ScaleHeight() const { return OnScreen() ? static_cast<float>(Image().Height()) : 0.0F; }

void Win32Form::DoEvents() {
    ApplyWindowRequests();
    if (OnScreen()) {
        presenter_.Show(window_.get(), MutableImage(), fresh_);
        fresh_ = false;
    }
    SendTitle();
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    RaisePending();
}

// Sleeps until a message comes for the window.
void Win32Form::WaitEvents() {
    // A timeout is not a failure: the caller looks at the window and waits again.
    (void)MsgWaitForMultipleObjects(0, nullptr, FALSE, kLongestRest, QS_ALLINPUT);
    DoEvents();
}

void Win32Form::ApplyWindowRequests() {
    if (!showRequested_ || (shown_ && !stateRequested_)) {
        return;
    }
    switch (Properties().WindowState()) {
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
    stateRequested_ = false;
    FollowClientArea();
}

// Only a changed title goes to the window, and not more often than the
// display refreshes.
void Win32Form::SendTitle() {
    if (const auto title = title_->Due(Properties().Caption(), TitleThrottle::Clock::now())) {
        if (SetWindowTextW(window_.get(), Wide(*title).c_str()) == 0) {
            ThrowLastError("cannot set the window's title");
        }
    }
}

void Win32Form::RaisePending() {
    if (failure_) {
        std::rethrow_exception(std::exchange(failure_, nullptr));
    }
    if (sizeChanged_) {
        sizeChanged_ = false;
        FollowClientArea();
    }
    if (closePending_) {
        closePending_ = false;
        RaiseUnload(Events());
    }
    if (clickPending_) {
        clickPending_ = false;
        Events().Click();
    }
}

void Win32Form::FollowClientArea() {
    RECT client{};
    if (GetClientRect(window_.get(), &client) == 0) {
        ThrowLastError("cannot read the window's size");
    }
    if (IsIconic(window_.get()) == 0 && (client.right != Image().Width() || client.bottom != Image().Height())) {
        ResizeImage(client.right, client.bottom);
        fresh_ = true;
    }
}

// The window's outer size for the design's client area at its monitor's DPI.
std::pair<int, int> Win32Form::NormalWindowSize() const {
    const UINT dpi = GetDpiForWindow(window_.get());
    RECT area{0, 0, TwipsToPixels(design_.ClientWidthTwips, dpi), TwipsToPixels(design_.ClientHeightTwips, dpi)};
    if (AdjustWindowRectExForDpi(&area, kStyle, FALSE, kExtendedStyle, dpi) == 0) {
        ThrowLastError("cannot size the window");
    }
    return {area.right - area.left, area.bottom - area.top};
}

LRESULT CALLBACK Win32Form::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* creation = PointerIn<const CREATESTRUCTW>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
    }
    auto* form = PointerIn<Win32Form>(GetWindowLongPtrW(window, GWLP_USERDATA));
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

LRESULT Win32Form::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = window_.get();
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            // A click is a press and a release inside the client area.
            SetCapture(window);
            buttonDown_ = true;
            return 0;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP: {
            ReleaseCapture();
            RECT client{};
            GetClientRect(window, &client);
            const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            clickPending_ = clickPending_ || (buttonDown_ && PtInRect(&client, at) != 0);
            buttonDown_ = false;
            return 0;
        }
        case WM_CLOSE:
            closePending_ = true;
            return 0;
        case WM_SIZE:
            sizeChanged_ = true;
            return 0;
        case WM_PAINT:
            presenter_.Paint(window);
            return 0;
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
