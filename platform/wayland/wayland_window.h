#pragma once

// The program's window as a native Wayland toplevel: an xdg-shell toplevel
// through libdecor, drawn at the output's own pixels, at a fractional scale
// where the compositor offers one.

#include <optional>
#include <set>
#include <string>
#include <utility>

#include "platform/form.h"
#include "platform/form/form_properties.h"
#include "platform/wayland/wayland_display.h"
#include "platform/wayland/wayland_presenter.h"
#include "platform/wayland/wayland_seat.h"
#include "platform/window/native_window.h"

namespace platform::wayland {

// The compositor's pace is its frame callback: a new picture once it has
// answered the last one's, which is its saying that it repaints.
class WaylandWindow final : public NativeWindow, private SeatSink {
public:
    static constexpr std::uint32_t kOneScale = 120;

    WaylandWindow();
    ~WaylandWindow() override;
    WaylandWindow(const WaylandWindow&) = delete;
    WaylandWindow& operator=(const WaylandWindow&) = delete;

    // Its sizes are given in the compositor's logical pixels, which are a
    // standard desktop's whatever the output's scale.
    [[nodiscard]] double DotsPerInch() const override { return kStandardDotsPerInch; }
    void SizeNormally(PixelSize size) override { normal_ = size; }
    void SetTitle(const std::string& title) override;
    void Show(int windowState) override;
    [[nodiscard]] bool Visible() const override { return configured_.has_value(); }
    [[nodiscard]] PixelSize ClientSize() const override;
    [[nodiscard]] bool ReadyForPicture() override;
    [[nodiscard]] WindowPixels Pixels(const PixelRows& image) override {
        return presenter_.Pixels(image.width, image.height);
    }
    void Send(const std::vector<PixelRect>& rects) override;
    void Dispatch() override;
    void Wait(Clock::duration longest) override;

private:
    static void Configure(libdecor_frame* frame, libdecor_configuration* configuration, void* data);
    static void Close(libdecor_frame* frame, void* data);
    static void Commit(libdecor_frame* frame, void* data);
    static void DecorError(libdecor* context, libdecor_error error, const char* message);
    static void SurfaceEnter(void* data, wl_surface* surface, wl_output* output);
    static void SurfaceLeave(void* data, wl_surface* surface, wl_output* output);
    static void FrameDone(void* data, wl_callback* callback, std::uint32_t time);
    static void PreferredScale(void* data, wp_fractional_scale_v1* scale, std::uint32_t scale120);

    // In the buffer's pixels, as the client area's size is.
    void Pointed(const PointerEvent& event) override;

    void FollowOutputs();
    [[nodiscard]] int OutputScale() const;
    [[nodiscard]] int Scaled(int logical) const;

    WaylandDisplay display_;
    SurfaceHandle surface_;
    WaylandSeat seat_;
    DecorHandle decor_;
    FrameHandle frame_;
    WaylandPresenter presenter_;
    PixelSize normal_;  // the client area's normal size, in logical pixels

    bool mapped_ = false;
    // The last configuration's size, in logical pixels.
    std::optional<std::pair<int, int>> configured_;
    // The outputs the window is on, by their names in the registry.
    std::set<std::uint32_t> outputs_;
    // The integer scale of the outputs the window is on, where the
    // compositor offers no fractional scale (and 1 where it has no
    // wl_surface.set_buffer_scale).
    int scale_ = 1;
    // Where it does: the window's preferred scale in 120ths, its buffer
    // drawn at that and shown at the logical size through the viewport.
    ViewportHandle viewport_;
    FractionalScaleHandle fractionalScale_;
    std::uint32_t scale120_ = kOneScale;

    // The last picture's frame callback, until the compositor answers it.
    CallbackHandle frameCallback_;
    // The launch's activation token (XDG_ACTIVATION_TOKEN), until the
    // window has shown its first picture and is activated with it.
    std::string launch_;
};

}  // namespace platform::wayland
