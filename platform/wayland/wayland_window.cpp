#include "platform/wayland/wayland_window.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "platform/process/abrupt_end.h"
#include "platform/run_time_error.h"
#include "platform/wayland/wayland_launch.h"

namespace platform::wayland {
namespace {

// libdecor tells of an error with nothing to find the window by: for the
// span of each of the window's calls into libdecor, this names the
// connection where the error is kept until the call returns. One thread
// runs the window, so one slot is enough.
thread_local WaylandDisplay* decorErrors = nullptr;

class DecorCall {
public:
    explicit DecorCall(WaylandDisplay& display) : outer_(std::exchange(decorErrors, &display)) {}
    ~DecorCall() { decorErrors = outer_; }
    DecorCall(const DecorCall&) = delete;
    DecorCall& operator=(const DecorCall&) = delete;

private:
    WaylandDisplay* outer_;
};

}  // namespace

WaylandWindow::WaylandWindow()
    : surface_(wl_compositor_create_surface(display_.Compositor())),
      seat_(display_, surface_.get(), *this),
      presenter_(display_.Shm()) {
    const DecorCall call(display_);
    static const wl_surface_listener surfaceListener{SurfaceEnter, SurfaceLeave};
    wl_surface_add_listener(surface_.get(), &surfaceListener, this);
    static libdecor_interface decorInterface = [] {
        libdecor_interface callbacks{};
        callbacks.error = DecorError;
        return callbacks;
    }();
    decor_.reset(libdecor_new(display_.Get(), &decorInterface));
    if (!decor_) {
        throw RunTimeError("cannot open the window",
                           "libdecor cannot start on the compositor '" + display_.Name() + "'");
    }
    static libdecor_frame_interface frameInterface = [] {
        libdecor_frame_interface callbacks{};
        callbacks.configure = Configure;
        callbacks.close = Close;
        callbacks.commit = Commit;
        callbacks.dismiss_popup = [](libdecor_frame*, const char*, void*) {};
        return callbacks;
    }();
    frame_.reset(libdecor_decorate(decor_.get(), surface_.get(), &frameInterface, this));
    if (!frame_) {
        throw RunTimeError("cannot open the window", "libdecor cannot make a window frame");
    }
    // libdecor makes the toplevel once it has heard from the compositor.
    constexpr int kRoundTrips = 4;
    for (int trip = 0; trip < kRoundTrips && libdecor_frame_get_xdg_toplevel(frame_.get()) == nullptr; ++trip) {
        if (wl_display_roundtrip(display_.Get()) < 0) {
            display_.Check();
        }
    }
    display_.Check();
    if (libdecor_frame_get_xdg_toplevel(frame_.get()) == nullptr) {
        throw RunTimeError("cannot open the window",
                           "the Wayland compositor '" + display_.Name() + "' made no xdg-shell toplevel for it");
    }
    // A fractional scale needs both: the scale, and a viewport to show the
    // buffer drawn at it at the window's logical size.
    if (display_.Viewporter() != nullptr && display_.FractionalScales() != nullptr) {
        viewport_.reset(wp_viewporter_get_viewport(display_.Viewporter(), surface_.get()));
        fractionalScale_.reset(
            wp_fractional_scale_manager_v1_get_fractional_scale(display_.FractionalScales(), surface_.get()));
        static const wp_fractional_scale_v1_listener scaleListener{PreferredScale};
        wp_fractional_scale_v1_add_listener(fractionalScale_.get(), &scaleListener, this);
    }
    // The name of the desktop entry, so that the desktop shows its icon.
    libdecor_frame_set_app_id(frame_.get(), "pentagram");
    // The launcher's token, which gives the window the focus the launch
    // gave the program.
    launch_ = TakeActivationToken();
}

WaylandWindow::~WaylandWindow() {
    {
        const DecorCall call(display_);
        frameCallback_.reset();
        fractionalScale_.reset();
        viewport_.reset();
        frame_.reset();
        decor_.reset();
        surface_.reset();
    }
    // Nothing may leave a destructor: an error libdecor told of on the
    // way is the program's last word. (A connection that ended has been
    // told of already, by the call that found it.)
    if (const std::optional<RunTimeError> failure = display_.TakeDeferred()) {
        EndNowWithRunTimeError(failure->what());
    }
}

// The window's state is asked for before it is first mapped, so that the
// compositor's first configuration already has it (and its size).
void WaylandWindow::Show(int windowState) {
    const DecorCall call(display_);
    switch (windowState) {
        case kWindowStateMaximised:
            libdecor_frame_set_maximized(frame_.get());
            break;
        case kWindowStateMinimised:
            libdecor_frame_set_minimized(frame_.get());
            break;
        default:
            libdecor_frame_unset_maximized(frame_.get());
            break;
    }
    if (!mapped_) {
        // The decorations take their shape from a first state of the
        // window's own: without it, libdecor counts no decorations in the
        // first configuration and the window comes out too large for it.
        libdecor_state* state = libdecor_state_new(normal_.width, normal_.height);
        libdecor_frame_commit(frame_.get(), state, nullptr);
        libdecor_state_free(state);
        libdecor_frame_map(frame_.get());
        mapped_ = true;
    }
    display_.Check();
}

void WaylandWindow::SetTitle(const std::string& title) {
    const DecorCall call(display_);
    libdecor_frame_set_title(frame_.get(), title.c_str());
    display_.Check();
}

// Ready once the compositor has answered the last picture's frame callback,
// has a buffer free, and has read all that was sent before.
bool WaylandWindow::ReadyForPicture() { return !frameCallback_ && presenter_.HasFreeBuffer() && display_.Flush(); }

// Attaches the rectangles, asks to hear when the compositor repaints, and
// commits: nothing here waits for the compositor.
void WaylandWindow::Send(const std::vector<PixelRect>& rects) {
    if (display_.ScalesBuffers()) {
        wl_surface_set_buffer_scale(surface_.get(), viewport_ ? 1 : scale_);
    }
    presenter_.Attach(surface_.get(), rects, {configured_->first, configured_->second});
    if (viewport_) {
        wp_viewport_set_destination(viewport_.get(), configured_->first, configured_->second);
    }
    static const wl_callback_listener callbackListener{FrameDone};
    frameCallback_.reset(wl_surface_frame(surface_.get()));
    wl_callback_add_listener(frameCallback_.get(), &callbackListener, this);
    wl_surface_commit(surface_.get());
    // Mapped now: the launch ends, and the window takes the focus it gave.
    if (!launch_.empty() && display_.Activation() != nullptr) {
        xdg_activation_v1_activate(display_.Activation(), launch_.c_str(), surface_.get());
    }
    launch_.clear();
    (void)display_.Flush();
}

PixelSize WaylandWindow::ClientSize() const {
    return configured_ ? PixelSize{Scaled(configured_->first), Scaled(configured_->second)} : PixelSize{};
}

// A logical length in the buffer's pixels: at a fractional scale rounded
// half away from zero, as the protocol has it for a toplevel.
int WaylandWindow::Scaled(int logical) const {
    if (viewport_) {
        return static_cast<int>(std::lround(static_cast<double>(logical) * scale120_ / kOneScale));
    }
    return logical * scale_;
}

void WaylandWindow::Pointed(const PointerEvent& event) {
    PointerEvent scaled = event;
    if (scaled.at) {
        const double scale = viewport_ ? static_cast<double>(scale120_) / kOneScale : scale_;
        scaled.at = PointerPosition{scaled.at->x * scale, scaled.at->y * scale};
    }
    Events().Pointed(scaled);
}

void WaylandWindow::Dispatch() {
    const DecorCall call(display_);
    // libdecor's dispatch returns the count of events it handled, or the
    // negated errno of a flush or poll that failed: an interrupted one is
    // only a dispatch to be made again.
    if (const int dispatched = libdecor_dispatch(decor_.get(), 0);
        dispatched < 0 && -dispatched != EINTR && -dispatched != EAGAIN) {
        display_.Fail(-dispatched);
    }
    display_.Check();
    FollowOutputs();
}

// An output's scale can change under the window as well as by its move to
// another output, and an output can go: the window is drawn at the scale of
// those it is still on, and so is the arrow over it.
void WaylandWindow::FollowOutputs() {
    std::erase_if(outputs_, [this](std::uint32_t output) { return !display_.ScaleOf(output); });
    if (!viewport_ && OutputScale() != scale_) {
        scale_ = OutputScale();
        Events().Resized();
    }
    const int cursorScale = viewport_ ? static_cast<int>((scale120_ + kOneScale - 1) / kOneScale) : scale_;
    seat_.ScaleCursor(cursorScale);
}

// Sleeps until the compositor or a signal has something for the window. The
// wait dispatches what came before it, libdecor's events among them: its
// errors are kept for the end of the wait, as in every other call.
void WaylandWindow::Wait(Clock::duration longest) {
    const DecorCall call(display_);
    display_.WaitForEvents(WakeDescriptor(), std::chrono::duration_cast<std::chrono::milliseconds>(longest));
    display_.Check();
}

int WaylandWindow::OutputScale() const {
    if (!display_.ScalesBuffers()) {
        return 1;
    }
    int scale = 1;
    for (const std::uint32_t output : outputs_) {
        scale = std::max(scale, display_.ScaleOf(output).value_or(1));
    }
    return scale;
}

void WaylandWindow::Configure(libdecor_frame* frame, libdecor_configuration* configuration, void* data) {
    auto& self = *static_cast<WaylandWindow*>(data);
    int width = 0;
    int height = 0;
    // Without a size from the compositor, the window has its normal one.
    if (!libdecor_configuration_get_content_size(configuration, frame, &width, &height) || width <= 0 || height <= 0) {
        width = self.configured_ ? self.configured_->first : self.normal_.width;
        height = self.configured_ ? self.configured_->second : self.normal_.height;
        libdecor_window_state state = LIBDECOR_WINDOW_STATE_NONE;
        if (libdecor_configuration_get_window_state(configuration, &state) &&
            (state & (LIBDECOR_WINDOW_STATE_MAXIMIZED | LIBDECOR_WINDOW_STATE_FULLSCREEN)) == 0) {
            width = self.normal_.width;
            height = self.normal_.height;
        }
    }
    libdecor_state* state = libdecor_state_new(width, height);
    libdecor_frame_commit(frame, state, configuration);
    libdecor_state_free(state);
    if (self.configured_ != std::pair{width, height}) {
        self.configured_ = std::pair{width, height};
        self.Events().Resized();
    }
    // A new configuration wants a new buffer, even of the same size.
    self.Events().Exposed();
}

void WaylandWindow::Close(libdecor_frame* /*frame*/, void* data) {
    static_cast<WaylandWindow*>(data)->Events().CloseRequested();
}

void WaylandWindow::Commit(libdecor_frame* /*frame*/, void* data) {
    // The decorations changed: the window's surface is committed with them.
    wl_surface_commit(static_cast<WaylandWindow*>(data)->surface_.get());
}

// Kept until the window's call into libdecor returns, and thrown there.
void WaylandWindow::DecorError(libdecor* /*context*/, libdecor_error /*error*/, const char* message) {
    const RunTimeError failure("cannot decorate the window", message != nullptr ? message : "libdecor gave no reason");
    if (decorErrors == nullptr) {
        EndNowWithRunTimeError(failure.what());  // outside every call of the window's: nobody to tell
    }
    decorErrors->Defer(failure);
}

void WaylandWindow::SurfaceEnter(void* data, wl_surface* /*surface*/, wl_output* output) {
    auto& self = *static_cast<WaylandWindow*>(data);
    if (const auto name = self.display_.OutputName(output)) {
        self.outputs_.insert(*name);
    }
}

void WaylandWindow::SurfaceLeave(void* data, wl_surface* /*surface*/, wl_output* output) {
    auto& self = *static_cast<WaylandWindow*>(data);
    if (const auto name = self.display_.OutputName(output)) {
        self.outputs_.erase(*name);
    }
}

void WaylandWindow::FrameDone(void* data, wl_callback* /*callback*/, std::uint32_t /*time*/) {
    static_cast<WaylandWindow*>(data)->frameCallback_.reset();
}

void WaylandWindow::PreferredScale(void* data, wp_fractional_scale_v1* /*scale*/, std::uint32_t scale120) {
    auto& self = *static_cast<WaylandWindow*>(data);
    if (scale120 > 0 && scale120 != self.scale120_) {
        self.scale120_ = scale120;
        self.Events().Resized();
    }
}

}  // namespace platform::wayland
