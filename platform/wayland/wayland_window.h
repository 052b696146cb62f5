#pragma once

// The program's window as a native Wayland toplevel: an xdg-shell toplevel
// through libdecor, drawn at the output's own pixels.

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

// Every frame goes to the compositor as soon as it is drawn, with only what
// changed; a compositor that answers none of its frame callbacks shows
// nothing of the window, which then counts as not visible. SIGINT and
// SIGTERM are told as the window's close.
class WaylandWindow final : public NativeWindow, private PointerSink {
public:
    WaylandWindow(const FormDesign& design, TerminationSignals& signals);
    ~WaylandWindow() override;
    WaylandWindow(const WaylandWindow&) = delete;
    WaylandWindow& operator=(const WaylandWindow&) = delete;

    [[nodiscard]] WindowPixels Pixels(int width, int height) override { return presenter_.Pixels(width, height); }
    [[nodiscard]] bool Send(const std::vector<PixelRect>& rects) override;
    void SetTitle(const std::string& title) override { libdecor_frame_set_title(frame_.get(), title.c_str()); }
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

    void PointerEntered(wl_surface* surface) override { pointerInside_ = surface == surface_.get(); }
    void PointerLeft() override { pointerInside_ = false; }
    void ButtonPressed() override { Events().Pressed(pointerInside_); }
    void ButtonReleased() override { Events().Released(pointerInside_); }

    [[nodiscard]] int Scale() const;

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
    int scale_ = 1;

    CallbackHandle frameCallback_;
    Clock::time_point frameRequestedAt_;
    bool pointerInside_ = false;
};

}  // namespace platform::wayland
