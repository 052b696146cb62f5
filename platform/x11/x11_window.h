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

// A window the connection made, destroyed with this.
class CreatedWindow {
public:
    explicit CreatedWindow(const X11Connection& connection);
    ~CreatedWindow() { xcb_destroy_window(connection_.Get(), id_); }
    CreatedWindow(const CreatedWindow&) = delete;
    CreatedWindow& operator=(const CreatedWindow&) = delete;

    [[nodiscard]] xcb_window_t Id() const { return id_; }

private:
    const X11Connection& connection_;
    xcb_window_t id_;
};

class X11Window final : public NativeWindow {
public:
    X11Window();

    // The desktop's scale, as X toolkits read it.
    [[nodiscard]] double DotsPerInch() const override { return dotsPerInch_; }
    void SizeNormally(PixelSize size) override;
    void SetTitle(const std::string& title) override { toplevel_.WindowManager().SetTitle(title); }
    void Show(int windowState) override;
    [[nodiscard]] bool Visible() const override { return toplevel_.Visible(); }
    [[nodiscard]] PixelSize ClientSize() const override { return size_; }
    [[nodiscard]] bool ReadyForPicture() override { return presenter_.Ready(); }
    [[nodiscard]] WindowPixels Pixels(int width, int height) override { return presenter_.Pixels(width, height); }
    void Send(const std::vector<PixelRect>& rects) override { presenter_.Send(rects); }
    void Dispatch() override;
    void Wait(Clock::duration longest) override;

private:
    void TakeInEvents(Clock::time_point now);
    void Handle(const xcb_generic_event_t& event);
    [[nodiscard]] bool Inside(int x, int y) const;

    X11Connection connection_;
    CreatedWindow window_;
    X11Toplevel toplevel_;
    X11Presenter presenter_;
    double dotsPerInch_;
    PixelSize size_;
};

}  // namespace platform::x11
