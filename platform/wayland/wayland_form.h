#pragma once

#include <chrono>
#include <optional>
#include <set>
#include <string>

#include "platform/image_form.h"
#include "platform/termination_signals.h"
#include "platform/title_throttle.h"
#include "platform/wayland/wayland_display.h"
#include "platform/wayland/wayland_presenter.h"

namespace platform::wayland {

// The form as a native Wayland window: an xdg-shell toplevel through
// libdecor, drawn at the output's own pixels. Every frame goes to the
// compositor as soon as it is drawn, with only what changed; while the
// compositor shows nothing of the window (it sends no frame callbacks), the
// form rests. What the compositor says is noted while its events are
// dispatched and acted on after, so that nothing unwinds through them.
class WaylandForm final : public ImageForm, private PointerSink {
public:
    WaylandForm(const FormDesign& design, TerminationSignals& signals);
    ~WaylandForm() override;
    WaylandForm(const WaylandForm&) = delete;
    WaylandForm& operator=(const WaylandForm&) = delete;

    void Show() override { showRequested_ = true; }
    void WindowState(int state) override;
    [[nodiscard]] float ScaleWidth() const override;
    [[nodiscard]] float ScaleHeight() const override;
    void Caption(std::string_view text) override { MutableProperties().Caption(text); }
    void DoEvents() override;
    void WaitEvents() override;

private:
    using Clock = std::chrono::steady_clock;

    static void Configure(libdecor_frame* frame, libdecor_configuration* configuration, void* data);
    static void Close(libdecor_frame* frame, void* data);
    static void Commit(libdecor_frame* frame, void* data);
    static void DecorError(libdecor* context, libdecor_error error, const char* message);
    static void SurfaceEnter(void* data, wl_surface* surface, wl_output* output);
    static void SurfaceLeave(void* data, wl_surface* surface, wl_output* output);
    static void FrameDone(void* data, wl_callback* callback, std::uint32_t time);

    void PointerEntered(wl_surface* surface) override { pointerInside_ = surface == surface_.get(); }
    void PointerLeft() override { pointerInside_ = false; }
    void ButtonPressed() override { buttonDown_ = pointerInside_; }
    void ButtonReleased() override;

    void Dispatch();
    void MapWhenAsked();
    void ApplyConfiguration();
    void Present();
    void SendTitle();
    void RaisePending();
    [[nodiscard]] bool Visible() const;
    [[nodiscard]] int Scale() const;

    TerminationSignals& signals_;
    WaylandDisplay display_;
    SurfaceHandle surface_;
    DecorHandle decor_;
    FrameHandle frame_;
    WaylandPresenter presenter_;
    TitleThrottle title_;
    int normalWidth_;  // the client area's normal size, in logical pixels
    int normalHeight_;

    bool showRequested_ = false;
    bool stateRequested_ = false;
    bool mapped_ = false;
    // The last configuration: its size in logical pixels, and whether the
    // image follows it yet.
    std::optional<std::pair<int, int>> configured_;
    bool configurationApplied_ = true;
    std::set<wl_output*> outputs_;
    int scale_ = 1;
    bool fresh_ = true;

    CallbackHandle frameCallback_;
    Clock::time_point frameRequestedAt_;

    bool pointerInside_ = false;
    bool buttonDown_ = false;
    bool clickPending_ = false;
    bool closePending_ = false;
};

}  // namespace platform::wayland
