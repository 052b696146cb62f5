#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "platform/image/persistent_image.h"

namespace platform::win32 {

// What the window shows, in a DIB section in the image's own layout (32-bit
// top-down xRGB): each frame copies into it only the tiles whose pixels
// differ and blits only those to the window; a repaint blits what the
// window asks for from it.
class Win32Presenter {
public:
    // With `wholeFrames`, every frame goes to the window whole (the way to
    // hold the changed tiles against, for the benchmark).
    explicit Win32Presenter(bool wholeFrames = false);
    ~Win32Presenter();
    Win32Presenter(const Win32Presenter&) = delete;
    Win32Presenter& operator=(const Win32Presenter&) = delete;

    // Shows the image's changes since the last call in the window;
    // everything when `fresh`. Throws a run-time error when GDI fails.
    void Show(HWND window, PersistentImage& image, bool fresh);
    // Answers a WM_PAINT from what the window last showed.
    void Paint(HWND window);

private:
    struct Dib;

    void Allocate(int width, int height);

    bool wholeFrames_;
    std::unique_ptr<Dib> dib_;
};

}  // namespace platform::win32
