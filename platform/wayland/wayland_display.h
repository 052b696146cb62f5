#pragma once

// The connection to a Wayland compositor and the globals it offers.

#include <wayland-client.h>

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>

#include "platform/run_time_error.h"
#include "platform/wayland/wayland_handles.h"

namespace platform::wayland {

// The run-time error that says how the connection to the compositor of
// this name ended, thrown if it has.
void CheckConnection(wl_display* display, const std::string& name);
// The same for a call on the connection that failed with this errno, in
// the compositor's words where it ended the connection over an error.
[[noreturn]] void ThrowConnectionFailure(wl_display* display, const std::string& name, int error);

// A global the compositor offers, by its name in the registry.
struct Global {
    std::uint32_t name = 0;
    std::uint32_t version = 0;
};

// The connection to the compositor and its globals: the compositor, shared
// memory, the outputs with their scales, and where the compositor offers
// them, viewports, fractional scales and activation. The seat is the
// seat's own to bind (wayland_seat.h).
class WaylandDisplay {
public:
    // Connects to the compositor WAYLAND_DISPLAY names; throws a run-time
    // error that says why when it cannot.
    WaylandDisplay();
    ~WaylandDisplay();
    WaylandDisplay(const WaylandDisplay&) = delete;
    WaylandDisplay& operator=(const WaylandDisplay&) = delete;

    [[nodiscard]] wl_display* Get() const { return display_.get(); }
    [[nodiscard]] wl_registry* Registry() const { return registry_.get(); }
    [[nodiscard]] wl_compositor* Compositor() const { return compositor_.get(); }
    [[nodiscard]] wl_shm* Shm() const { return shm_.get(); }
    // Null where the compositor does not offer them.
    [[nodiscard]] wp_viewporter* Viewporter() const { return viewporter_.get(); }
    [[nodiscard]] wp_fractional_scale_manager_v1* FractionalScales() const { return fractionalScales_.get(); }
    [[nodiscard]] xdg_activation_v1* Activation() const { return activation_.get(); }
    // The first seat; a name of 0 where the compositor has none.
    [[nodiscard]] const Global& Seat() const { return seat_; }
    [[nodiscard]] const std::string& Name() const { return name_; }
    // The compositor takes a surface's buffer scale (wl_compositor 3 on);
    // where it does not, everything is drawn at scale 1.
    [[nodiscard]] bool ScalesBuffers() const {
        return wl_compositor_get_version(compositor_.get()) >= WL_SURFACE_SET_BUFFER_SCALE_SINCE_VERSION;
    }

    // The registry's name of an output, none once it is gone (or for null,
    // as an event names an output that is gone).
    [[nodiscard]] std::optional<std::uint32_t> OutputName(wl_output* output) const;
    // An output's scale as of its last `done`, none once it is gone.
    [[nodiscard]] std::optional<int> ScaleOf(std::uint32_t outputName) const;

    // A failure met inside a callback of the connection, where nothing may
    // unwind: the next Check throws it.
    void Defer(const RunTimeError& failure);

    // Sleeps until the compositor sends something or `wakeDescriptor` is
    // readable, at most `longest`, and reads what the compositor sent
    // (dispatching it is the caller's).
    void WaitForEvents(int wakeDescriptor, std::chrono::milliseconds longest) const;
    // Sends what it can of the requests made so far, without waiting; true
    // once all of them are sent. Throws a run-time error when the
    // compositor has gone.
    [[nodiscard]] bool Flush() const;

    // Throws a failure deferred from a callback, or the run-time error that
    // says how the connection ended, if it has.
    void Check();
    // The failure deferred from a callback, if any, for where nothing may throw.
    [[nodiscard]] std::optional<RunTimeError> TakeDeferred() { return std::exchange(deferred_, std::nullopt); }
    // Throws the run-time error for a call on the connection that failed
    // with this errno.
    [[noreturn]] void Fail(int error) const { ThrowConnectionFailure(display_.get(), name_, error); }

private:
    struct Output {
        OutputHandle proxy;
        int scale = 1;
        // Told since the last `done`, which makes it the output's.
        int pendingScale = 1;
    };

    static void Announced(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                          std::uint32_t version);
    static void Removed(void* data, wl_registry* registry, std::uint32_t name);
    static void OutputScale(void* data, wl_output* output, std::int32_t scale);
    static void OutputDone(void* data, wl_output* output);
    // The output of this proxy, by its name; the map's end where none is.
    [[nodiscard]] std::map<std::uint32_t, Output>::const_iterator Find(wl_output* output) const;

    std::string name_;
    DisplayHandle display_;
    RegistryHandle registry_;
    CompositorHandle compositor_;
    ShmHandle shm_;
    ViewporterHandle viewporter_;
    FractionalScaleManagerHandle fractionalScales_;
    ActivationHandle activation_;
    Global seat_;
    std::map<std::uint32_t, Output> outputs_;  // by global name
    std::optional<RunTimeError> deferred_;
};

}  // namespace platform::wayland
