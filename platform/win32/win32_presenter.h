#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "platform/window/native_window.h"

namespace platform::win32 {

// What the window shows, in a DIB section in the image's own layout (32-bit
// top-down xRGB): each frame's rectangles are blitted from it to the
// window, and a repaint blits what the window asks for.
class Win32Presenter {
public:
    Win32Presenter();
    ~Win32Presenter();
    Win32Presenter(const Win32Presenter&) = delete;
    Win32Presenter& operator=(const Win32Presenter&) = delete;

    // The DIB section for a picture of this size, once GDI has read the last.
    [[nodiscard]] WindowPixels Pixels(int width, int height);
    // Blits the rectangles to the window. Throws a run-time error when GDI fails.
    void Send(HWND window, const std::vector<PixelRect>& rects);
    // Answers a WM_PAINT from what the window last showed.
    void Paint(HWND window);

private:
    struct Dib;

    void Allocate(int width, int height);

    std::unique_ptr<Dib> dib_;
};

}  // namespace platform::win32
