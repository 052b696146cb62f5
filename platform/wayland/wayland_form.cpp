#include "platform/wayland/wayland_form.h"

#include <algorithm>

#include "platform/abrupt_end.h"
#include "platform/form_properties.h"
#include "platform/run_time_error.h"

namespace platform::wayland {
namespace {

// A compositor that shows the window answers a frame's callback within a
// refresh or two; one that has not answered in this long shows nothing of it.
constexpr auto kHiddenAfter = std::chrono::milliseconds(500);
// Resting, the form still looks round this often.
constexpr auto kLongestRest = std::chrono::milliseconds(1000);

}  // namespace

WaylandForm::WaylandForm(const FormDesign& design, TerminationSignals& signals)
    : ImageForm(design),
      signals_(signals),
      surface_(wl_compositor_create_surface(display_.Compositor())),
      presenter_(display_.Shm()),
      title_(design.Caption, TitleThrottle::IntervalForRefreshRate(0)),
      normalWidth_(TwipsToPixels(design.ClientWidthTwips)),
      normalHeight_(TwipsToPixels(design.ClientHeightTwips)) {
    static const wl_surface_listener surfaceListener{SurfaceEnter, SurfaceLeave};
    wl_surface_add_listener(surface_.get(), &surfaceListener, this);
    display_.SetPointerSink(this);
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
    if (libdecor_frame_get_xdg_toplevel(frame_.get()) == nullptr) {
        throw RunTimeError("cannot open the window",
                           "the Wayland compositor '" + display_.Name() + "' made no xdg-shell toplevel for it");
    }
    // The name of the desktop entry, so that the desktop shows its icon.
    libdecor_frame_set_app_id(frame_.get(), "pentagram");
    libdecor_frame_set_title(frame_.get(), design.Caption.c_str());
}

WaylandForm::~WaylandForm() {
    display_.SetPointerSink(nullptr);
    frameCallback_.reset();
    frame_.reset();
    decor_.reset();
    surface_.reset();
}

void WaylandForm::WindowState(int state) {
    MutableProperties().WindowState(state);
    stateRequested_ = true;
}

// Nothing to draw on until the compositor has said how large the window
// is, nor while it shows nothing of it.
float WaylandForm::ScaleWidth() const { return Visible() && configured_ ? static_cast<float>(Image().Width()) : 0.0F; }

float WaylandForm::ScaleHeight() const {
    return Visible() && configured_ ? static_cast<float>(Image().Height()) : 0.0F;
}

void WaylandForm::DoEvents() {
    MapWhenAsked();
    Present();
    SendTitle();
    Dispatch();
    RaisePending();
}

// Sleeps until the compositor or a signal has something for the form.
void WaylandForm::WaitEvents() {
    display_.WaitForEvents(signals_.Descriptor(), kLongestRest);
    DoEvents();
}

void WaylandForm::Dispatch() {
    if (libdecor_dispatch(decor_.get(), 0) < 0) {
        display_.Check();
        throw RunTimeError("lost the connection to the Wayland compositor '" + display_.Name() + "'",
                           "the compositor closed it");
    }
    display_.Check();
}

// The window's state is asked for before it is first mapped, so that the
// compositor's first configuration already has it (and its size).
void WaylandForm::MapWhenAsked() {
    if (!showRequested_ || (!stateRequested_ && mapped_)) {
        return;
    }
    switch (Properties().WindowState()) {
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
    stateRequested_ = false;
    if (!mapped_) {
        // The decorations take their shape from a first state of the
        // window's own: without it, libdecor counts no decorations in the
        // first configuration and the window comes out too large for it.
        libdecor_state* state = libdecor_state_new(normalWidth_, normalHeight_);
        libdecor_frame_commit(frame_.get(), state, nullptr);
        libdecor_state_free(state);
        libdecor_frame_map(frame_.get());
        mapped_ = true;
    }
}

void WaylandForm::ApplyConfiguration() {
    if (configurationApplied_ || !configured_) {
        return;
    }
    configurationApplied_ = true;
    ResizeImage(configured_->first * scale_, configured_->second * scale_);
    fresh_ = true;
}

// Sends the last frame, and asks to hear when the compositor shows it.
void WaylandForm::Present() {
    ApplyConfiguration();
    if (!configured_) {
        return;
    }
    // A frame's requests go out only when the last frame's have: a program
    // that ran ahead of a slow compositor would fill the connection.
    if (!display_.WaitUntilSent(signals_.Descriptor())) {
        return;
    }
    if (!presenter_.Attach(surface_.get(), MutableImage(), fresh_, scale_)) {
        return;
    }
    fresh_ = false;
    if (!frameCallback_) {
        static const wl_callback_listener callbackListener{FrameDone};
        frameCallback_.reset(wl_surface_frame(surface_.get()));
        wl_callback_add_listener(frameCallback_.get(), &callbackListener, this);
        frameRequestedAt_ = Clock::now();
    }
    wl_surface_commit(surface_.get());
    (void)wl_display_flush(display_.Get());
}

// Only a changed title goes to the compositor, and not more often than the
// display refreshes.
void WaylandForm::SendTitle() {
    if (const auto title = title_.Due(Properties().Caption(), TitleThrottle::Clock::now())) {
        libdecor_frame_set_title(frame_.get(), title->c_str());
    }
}

void WaylandForm::RaisePending() {
    // An output's scale can change under the window as well as by its move
    // to another output.
    if (Scale() != scale_) {
        scale_ = Scale();
        configurationApplied_ = false;
    }
    if (signals_.Arrived() || closePending_) {
        closePending_ = false;
        RaiseUnload(Events());
    }
    if (clickPending_) {
        clickPending_ = false;
        Events().Click();
    }
    ApplyConfiguration();
}

void WaylandForm::ButtonReleased() {
    clickPending_ = clickPending_ || (buttonDown_ && pointerInside_);
    buttonDown_ = false;
}

bool WaylandForm::Visible() const { return !frameCallback_ || Clock::now() - frameRequestedAt_ < kHiddenAfter; }

int WaylandForm::Scale() const {
    int scale = 1;
    for (wl_output* output : outputs_) {
        scale = std::max(scale, display_.ScaleOf(output));
    }
    return scale;
}

void WaylandForm::Configure(libdecor_frame* frame, libdecor_configuration* configuration, void* data) {
    auto& self = *static_cast<WaylandForm*>(data);
    int width = 0;
    int height = 0;
    // Without a size from the compositor, the window has its normal one.
    if (!libdecor_configuration_get_content_size(configuration, frame, &width, &height) || width <= 0 || height <= 0) {
        width = self.configured_ ? self.configured_->first : self.normalWidth_;
        height = self.configured_ ? self.configured_->second : self.normalHeight_;
        libdecor_window_state state = LIBDECOR_WINDOW_STATE_NONE;
        if (libdecor_configuration_get_window_state(configuration, &state) &&
            (state & (LIBDECOR_WINDOW_STATE_MAXIMIZED | LIBDECOR_WINDOW_STATE_FULLSCREEN)) == 0) {
            width = self.normalWidth_;
            height = self.normalHeight_;
        }
    }
    libdecor_state* state = libdecor_state_new(width, height);
    libdecor_frame_commit(frame, state, configuration);
    libdecor_state_free(state);
    if (!self.configured_ || self.configured_ != std::pair{width, height}) {
        self.configured_ = std::pair{width, height};
        self.configurationApplied_ = false;
    }
    // A new configuration wants a new buffer, even of the same size.
    self.fresh_ = true;
}

void WaylandForm::Close(libdecor_frame* /*frame*/, void* data) {
    static_cast<WaylandForm*>(data)->closePending_ = true;
}

void WaylandForm::Commit(libdecor_frame* /*frame*/, void* data) {
    // The decorations changed: the window's surface is committed with them.
    wl_surface_commit(static_cast<WaylandForm*>(data)->surface_.get());
}

// libdecor gives its error handler nothing to find the form by.
void WaylandForm::DecorError(libdecor* /*context*/, libdecor_error /*error*/, const char* message) {
    EndNowWithRunTimeError(std::string("cannot decorate the window: ") + (message != nullptr ? message : ""));
}

void WaylandForm::SurfaceEnter(void* data, wl_surface* /*surface*/, wl_output* output) {
    static_cast<WaylandForm*>(data)->outputs_.insert(output);
}

void WaylandForm::SurfaceLeave(void* data, wl_surface* /*surface*/, wl_output* output) {
    static_cast<WaylandForm*>(data)->outputs_.erase(output);
}

void WaylandForm::FrameDone(void* data, wl_callback* /*callback*/, std::uint32_t /*time*/) {
    static_cast<WaylandForm*>(data)->frameCallback_.reset();
}

}  // namespace platform::wayland
