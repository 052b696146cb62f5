#include "platform/win32/win32_presenter.h"

#include "platform/win32/win32_text.h"

namespace platform::win32 {
namespace {

// A window's device context for as long as this lives.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {
        if (dc_ == nullptr) {
            ThrowLastError(kCannotShow);
        }
    }
    ~WindowDc() { ReleaseDC(window_, dc_); }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

    [[nodiscard]] HDC Get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

}  // namespace

// A DIB section and a memory DC holding it, let go together.
struct Win32Presenter::Dib {
    Dib(int width, int height) : rows{nullptr, width, height, width * 4} {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;  // top-down, as the image's rows
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (bitmap == nullptr) {
            ThrowLastError(kCannotShow);
        }
        dc = CreateCompatibleDC(nullptr);
        if (dc == nullptr) {
            DeleteObject(bitmap);
            ThrowLastError(kCannotShow);
        }
        previous = SelectObject(dc, bitmap);
        rows.data = static_cast<std::uint8_t*>(bits);
    }
    ~Dib() {
        SelectObject(dc, previous);
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
    Dib(const Dib&) = delete;
    Dib& operator=(const Dib&) = delete;

    PixelRows rows;
    HBITMAP bitmap = nullptr;
    HDC dc = nullptr;
    HGDIOBJ previous = nullptr;
};

Win32Presenter::Win32Presenter() = default;

Win32Presenter::~Win32Presenter() = default;

WindowPixels Win32Presenter::Pixels(int width, int height) {
    const bool fresh = !dib_ || dib_->rows.width != width || dib_->rows.height != height;
    if (fresh) {
        Allocate(width, height);
    }
    // GDI may still be reading the bits for the last blit.
    GdiFlush();
    return {dib_->rows, fresh};
}

void Win32Presenter::Send(HWND window, const std::vector<PixelRect>& rects) {
    const WindowDc target(window);
    for (const PixelRect& rect : rects) {
        if (BitBlt(target.Get(), rect.x, rect.y, rect.width, rect.height, dib_->dc, rect.x, rect.y, SRCCOPY) == 0) {
            ThrowLastError(kCannotShow);
        }
    }
}

void Win32Presenter::Paint(HWND window) {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(window, &paint);
    if (dc != nullptr && dib_) {
        const RECT& area = paint.rcPaint;
        BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, dib_->dc, area.left, area.top,
               SRCCOPY);
    }
    EndPaint(window, &paint);
}

void Win32Presenter::Allocate(int width, int height) {
    dib_.reset();
    dib_ = std::make_unique<Dib>(width, height);
}

}  // namespace platform::win32
