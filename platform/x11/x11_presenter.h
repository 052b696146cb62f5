#pragma once

#include <xcb/present.h>
#include <xcb/xcb.h>
#include <xcb/xfixes.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/image/pixel_format.h"
#include "platform/window/native_window.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_shared_memory.h"

namespace platform::x11 {

// Shows pictures in an X window of any TrueColor depth (16, 24 or 30 bits),
// at the display's pace. The picture is kept in a pixmap of the server's,
// filled through shared memory where the server offers it and in the
// requests themselves where it does not (a display over ssh, or a server
// without MIT-SHM), and presented with the Present extension: the server
// copies what changed to the window at its next refresh, and says when it
// has. Where the server has no Present, the pixels go to the window
// straight, one picture a round trip and no more than a refresh allows.
class X11Presenter {
public:
    // Throws a run-time error naming the display's depth when its visual
    // cannot show the picture (8-bit pseudo-colour, say).
    X11Presenter(const X11Connection& connection, xcb_window_t window);
    ~X11Presenter();
    X11Presenter(const X11Presenter&) = delete;
    X11Presenter& operator=(const X11Presenter&) = delete;

    // The display can take a new picture: it has shown the last.
    [[nodiscard]] bool Ready();
    // The picture's memory for a picture of this size.
    [[nodiscard]] WindowPixels Pixels(int width, int height);
    // Sends the rectangles of the picture to the window.
    void Send(const std::vector<PixelRect>& rects);
    // Takes in what the server says of the pictures.
    void Notice(const xcb_generic_event_t& event);

private:
    void Allocate(int width, int height);
    void Put(const PixelRect& rect);
    void PutInRequests(const PixelRect& rect);
    void Present(const std::vector<PixelRect>& rects);

    xcb_connection_t* xcb_;
    xcb_window_t window_;
    xcb_gcontext_t gc_ = 0;
    std::uint8_t depth_ = 0;
    int scanlinePad_ = 32;
    std::size_t largestRequest_ = 0;  // in bytes
    PixelFormat format_;
    bool sharedMemoryOffered_ = false;

    // Present: the events it tells of the window, the region of a
    // picture's changes, and whether the server has shown the last picture
    // (CompleteNotify) and let go of its pixmap (IdleNotify).
    std::optional<std::uint8_t> present_;
    xcb_present_event_t presentEvents_ = 0;
    xcb_xfixes_region_t changes_ = 0;
    std::uint32_t serial_ = 0;
    bool complete_ = true;
    bool idle_ = true;
    // Without Present: the round trip asked for after the last picture, and
    // when the next may go.
    std::optional<xcb_get_input_focus_cookie_t> roundTrip_;
    std::chrono::steady_clock::time_point nextPicture_;

    int width_ = 0;
    int height_ = 0;
    int stride_ = 0;  // of the pixels sent, in bytes
    // What the pixels are put into: the pixmap presented, or the window.
    xcb_pixmap_t pixmap_ = 0;
    xcb_drawable_t target_ = 0;
    // The pixels as the window shows them, in the image's layout, to find
    // the tiles that differ; and the same in the window's layout, to send.
    // Where the layouts are one, both are the same memory.
    PixelRows shown_;
    std::uint8_t* sent_ = nullptr;
    std::vector<std::uint32_t> shownCopy_;
    std::vector<std::uint8_t> sentCopy_;
    std::unique_ptr<X11SharedMemory> segment_;
    std::vector<std::uint8_t> scratch_;
};

}  // namespace platform::x11
