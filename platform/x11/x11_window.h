#pragma once

// The program's window on X11, on one XCB connection: made, shown, sized,
// titled and fed its events here; its requests to the window manager are
// the toplevel's, its pictures the presenter's.

#include <xcb/xcb.h>

#include "platform/window/native_window.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/x11_presenter.h"
#include "platform/x11/x11_toplevel.h"

namespace platform::x11 {

class X11Window final : public NativeWindow {
public:
    X11Window();
    ~X11Window() override { xcb_destroy_window(connection_.Get(), window_); }
    X11Window(const X11Window&) = delete;
    X11Window& operator=(const X11Window&) = delete;

    // The desktop's scale, as X toolkits read it.
    [[nodiscard]] double DotsPerInch() const override { return dotsPerInch_; }
    void SizeNormally(PixelSize size) override;
    void SetTitle(const std::string& title) override { toplevel_.WindowManager().SetTitle(title); }
    void Show(int windowState) override;
    [[nodiscard]] bool Visible() const override { return toplevel_.Visible(); }
    [[nodiscard]] PixelSize ClientSize() const override { return size_; }
    [[nodiscard]] bool ReadyForPicture() override { return presenter_.Ready(); }
    [[nodiscard]] WindowPixels Pixels(const PixelRows& image) override {
        return presenter_.Pixels(image.width, image.height);
    }
    void Send(const std::vector<PixelRect>& rects) override { presenter_.Send(rects); }
    void Dispatch() override;
    void Wait(Clock::duration longest) override;

private:
    void TakeInEvents(Clock::time_point now);
    void Handle(const xcb_generic_event_t& event);

    X11Connection connection_;
    // Destroyed with this, or with the connection if making the rest failed.
    xcb_window_t window_;
    X11Toplevel toplevel_;
    X11Presenter presenter_;
    double dotsPerInch_;
    PixelSize size_;
};

}  // namespace platform::x11
