#pragma once

#include <X11/Xlib.h>
#include <xcb/xcb.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/window/native_window.h"
#include "platform/x11/x11_pixel_format.h"

namespace platform::x11 {

// Shows pictures in an X window of any TrueColor depth (16, 24 or 30 bits):
// through shared memory where the server offers it, in the requests
// themselves where it does not (a display over ssh, or a server without
// MIT-SHM).
class X11Presenter {
public:
    // Throws a run-time error naming the display's depth when the window's
    // visual cannot show the picture (8-bit pseudo-colour, say).
    X11Presenter(Display* display, ::Window window);
    ~X11Presenter();
    X11Presenter(const X11Presenter&) = delete;
    X11Presenter& operator=(const X11Presenter&) = delete;

    // The picture's memory for a picture of this size, once the server has
    // read the last one from it.
    [[nodiscard]] WindowPixels Pixels(int width, int height);
    // Sends the rectangles of the picture to the window.
    void Send(const std::vector<PixelRect>& rects);

private:
    class SharedSegment;

    void Allocate(int width, int height);
    void WaitForServer();
    void SendInRequests(const PixelRect& rect);

    xcb_connection_t* connection_;
    xcb_window_t window_;
    xcb_gcontext_t gc_ = 0;
    std::uint8_t depth_ = 0;
    int scanlinePad_ = 32;
    std::size_t largestRequest_ = 0;  // in bytes
    X11PixelFormat format_;
    bool sharedMemoryOffered_ = false;

    int width_ = 0;
    int height_ = 0;
    int stride_ = 0;  // of the pixels sent, in bytes
    // The pixels as the window shows them, in the image's layout, to find
    // the tiles that differ; and the same in the window's layout, to send.
    // Where the layouts are one, both are the same memory.
    PixelRows shown_;
    std::uint8_t* sent_ = nullptr;
    std::vector<std::uint32_t> shownCopy_;
    std::vector<std::uint8_t> sentCopy_;
    std::unique_ptr<SharedSegment> segment_;
    std::vector<std::uint8_t> scratch_;
    // A round trip asked for after the last frame's pixels went out: once it
    // is answered, the server has read them and they may be written again.
    std::optional<xcb_get_input_focus_cookie_t> pendingSync_;
};

}  // namespace platform::x11
