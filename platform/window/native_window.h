#pragma once

// What a desktop's window system offers the window form: a native window,
// which keeps only its buffers, transport and protocol. What a real window
// does with them (when to show what, what a click is, when to rest) is the
// window form's, written once for every kind of window.

#include <chrono>
#include <string>
#include <vector>

#include "platform/image/changed_tiles.h"
#include "platform/image/image_format.h"
#include "platform/image/pixel_rect.h"
#include "platform/raster/pixel_rows.h"
#include "platform/window/pointer_event.h"

namespace platform {

// The words of a run-time error when the window cannot show its image.
inline constexpr const char* kCannotShow = "cannot show the window's image";

// What a native window tells of itself, as it happens. Told from inside the
// window system's calls, where nothing may unwind: a listener only notes.
class NativeWindowEvents {
public:
    // A pointer went down, up, or was taken over by the window system.
    virtual void Pointed(const PointerEvent& event) = 0;
    // The close button or the window manager's close.
    virtual void CloseRequested() = 0;
    // The client area may have another size now.
    virtual void Resized() = 0;
    // The window holds nothing of the picture it was sent.
    virtual void Exposed() = 0;
    // The display refreshed, where the window system tells when (a
    // browser's animation frame).
    virtual void Refreshed(std::chrono::steady_clock::time_point at) = 0;

protected:
    ~NativeWindowEvents() = default;
};

// The memory a window shows from, in the image's own format: its own, or
// the image's rows themselves, where the window takes what it is sent at
// once (a browser's canvas copies it when it is put there).
struct WindowPixels {
    // Empty when the window shows no pixels (offscreen).
    PixelRows rows;
    // New memory, holding none of the picture yet.
    bool fresh = false;
    // The tiles, a power of two in pixels, in which changes are best found:
    // smaller for a transport that pays for every pixel sent.
    int tileSize = ChangedTiles::kTileSize;
};

class NativeWindow {
public:
    using Clock = std::chrono::steady_clock;

    NativeWindow() = default;
    virtual ~NativeWindow() = default;
    NativeWindow(const NativeWindow&) = delete;
    NativeWindow& operator=(const NativeWindow&) = delete;

    // Where the window's events are told from now on, and a descriptor that
    // ends its waits as soon as it is readable (-1 for none).
    virtual void Listen(NativeWindowEvents& events, int wakeDescriptor) {
        events_ = &events;
        wakeDescriptor_ = wakeDescriptor;
    }

    // How many of the pixels its normal size is given in make an inch.
    [[nodiscard]] virtual double DotsPerInch() const = 0;
    // The client area in the normal (not maximised) state, in those pixels.
    virtual void SizeNormally(PixelSize size) = 0;
    virtual void SetTitle(const std::string& title) = 0;
    // Shows the window in this window state, or puts it in the state once shown.
    virtual void Show(int windowState) = 0;

    // The window can be seen: shown, and neither minimised nor hidden.
    [[nodiscard]] virtual bool Visible() const = 0;
    // The client area, in the pixels the window draws at.
    [[nodiscard]] virtual PixelSize ClientSize() const = 0;
    // The format of the pixels it takes, which the image draws in.
    [[nodiscard]] virtual ImageFormat Format() const { return ImageFormat::Xrgb; }

    // The display's pace: it can take a new picture now. After a picture is
    // sent, true again once the display signals that it has shown it (or
    // would have), however the window system says so.
    [[nodiscard]] virtual bool ReadyForPicture() = 0;
    // The memory to write the next picture into, for a picture of the
    // image's size, or the image's rows; asked for only when the display
    // is ready for one.
    [[nodiscard]] virtual WindowPixels Pixels(const PixelRows& image) = 0;
    // Sends these rectangles of the memory as the next picture.
    virtual void Send(const std::vector<PixelRect>& rects) = 0;

    // Lets the window system run for a turn of its own, where it runs on the
    // program's thread (a browser tab): its input, its pictures' showing.
    // Elsewhere it runs beside the program and needs none.
    virtual void GiveTurn() {}
    // Handles every event the window system has for the window, telling
    // the listener of them.
    virtual void Dispatch() = 0;
    // Sleeps until the window system has something for the window or the
    // wake descriptor is readable, at most this long.
    virtual void Wait(Clock::duration longest) = 0;

protected:
    // The listener; what happens before there is one goes unheard.
    [[nodiscard]] NativeWindowEvents& Events() const { return *events_; }
    [[nodiscard]] int WakeDescriptor() const { return wakeDescriptor_; }

private:
    class Unheard final : public NativeWindowEvents {
        void Pointed(const PointerEvent& /*event*/) override {}
        void CloseRequested() override {}
        void Resized() override {}
        void Exposed() override {}
        void Refreshed(std::chrono::steady_clock::time_point /*at*/) override {}
    };

    Unheard unheard_;
    NativeWindowEvents* events_ = &unheard_;
    int wakeDescriptor_ = -1;
};

}  // namespace platform
