#pragma once

// The program's window as a native Wayland toplevel: an xdg-shell toplevel
// through libdecor, drawn at the output's own pixels, at a fractional scale
// where the compositor offers one.

#include <chrono>
#include <optional>
#include <set>
#include <string>
#include <utility>

#include "platform/form.h"
#include "platform/process/termination_signals.h"
#include "platform/wayland/wayland_display.h"
#include "platform/wayland/wayland_presenter.h"
#include "platform/window/native_window.h"

namespace platform::wayland {

// Pictures go to the compositor at its own pace: a new one only once the
// compositor has answered the last one's frame callback, which is its
// saying that it repaints, with all that changed since; the title at most
// once a repaint, the last one always. A compositor that answers no frame
// callback shows nothing of the window, which then counts as not visible.
// SIGINT and SIGTERM are told as the window's close.
class WaylandWindow final : public NativeWindow, private PointerSink {
public:
    static constexpr std::uint32_t kOneScale = 120;

    WaylandWindow(const FormDesign& design, TerminationSignals& signals);
    ~WaylandWindow() override;
    WaylandWindow(const WaylandWindow&) = delete;
    WaylandWindow& operator=(const WaylandWindow&) = delete;

    [[nodiscard]] WindowPixels Pixels(int width, int height) override;
    [[nodiscard]] bool Send(const std::vector<PixelRect>& rects) override;
    void SetTitle(const std::string& title) override;
    [[nodiscard]] bool Show(int windowState) override;
    [[nodiscard]] bool Visible() const override;
    [[nodiscard]] PixelSize ClientSize() const override;
    void Dispatch() override;
    void Wait(Clock::duration longest) override;
    [[nodiscard]] int RefreshRate() const override { return 0; }

private:
    static void Configure(libdecor_frame* frame, libdecor_configuration* configuration, void* data);
    static void Close(libdecor_frame* frame, void* data);
    static void Commit(libdecor_frame* frame, void* data);
    static void DecorError(libdecor* context, libdecor_error error, const char* message);
    static void SurfaceEnter(void* data, wl_surface* surface, wl_output* output);
    static void SurfaceLeave(void* data, wl_surface* surface, wl_output* output);
    static void FrameDone(void* data, wl_callback* callback, std::uint32_t time);
    static void PreferredScale(void* data, wp_fractional_scale_v1* scale, std::uint32_t scale120);

    void PointerEntered(wl_surface* surface) override { pointerInside_ = surface == surface_.get(); }
    void PointerLeft() override { pointerInside_ = false; }
    void ButtonPressed() override { Events().Pressed(pointerInside_); }
    void ButtonReleased() override { Events().Released(pointerInside_); }

    [[nodiscard]] int OutputScale() const;
    [[nodiscard]] int Scaled(int logical) const;
    void SendTitleWhenDue();

    TerminationSignals& signals_;
    WaylandDisplay display_;
    SurfaceHandle surface_;
    DecorHandle decor_;
    FrameHandle frame_;
    WaylandPresenter presenter_;
    int normalWidth_;  // the client area's normal size, in logical pixels
    int normalHeight_;

    bool mapped_ = false;
    // The last configuration's size, in logical pixels.
    std::optional<std::pair<int, int>> configured_;
    std::set<wl_output*> outputs_;
    // The integer scale of the outputs the window is on, where the
    // compositor offers no fractional scale.
    int scale_ = 1;
    // Where it does: the window's preferred scale in 120ths, its buffer
    // drawn at that and shown at the logical size through the viewport.
    ViewportHandle viewport_;
    FractionalScaleHandle fractionalScale_;
    std::uint32_t scale120_ = kOneScale;

    CallbackHandle frameCallback_;
    Clock::time_point frameRequestedAt_;
    std::optional<std::string> pendingTitle_;
    bool titleSentThisRepaint_ = false;
    bool pointerInside_ = false;
};

}  // namespace platform::wayland
