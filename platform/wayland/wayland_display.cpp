#include "platform/wayland/wayland_display.h"

#include <poll.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace platform::wayland {
namespace {

// The versions the program speaks: damage in buffer pixels needs the
// compositor's 4 (older ones get it in surface coordinates), an output's
// scale and its `done` 2, and `release` 3.
constexpr std::uint32_t kCompositorVersion = 4;
constexpr std::uint32_t kOutputVersion = 3;

template <typename Object>
Object* Bind(wl_registry* registry, std::uint32_t name, const wl_interface& interface, std::uint32_t offered,
             std::uint32_t wanted) {
    return static_cast<Object*>(wl_registry_bind(registry, name, &interface, std::min(offered, wanted)));
}

void Ignore() {}

}  // namespace

WaylandDisplay::WaylandDisplay() {
    const char* name = std::getenv("WAYLAND_DISPLAY");
    name_ = (name != nullptr && *name != '\0') ? name : "wayland-0";
    display_.reset(wl_display_connect(nullptr));
    if (!display_) {
        throw RunTimeError("cannot open the window",
                           "the Wayland compositor '" + name_ + "' cannot be reached: " + std::strerror(errno));
    }
    static const wl_registry_listener registryListener{Announced, Removed};
    registry_.reset(wl_display_get_registry(display_.get()));
    wl_registry_add_listener(registry_.get(), &registryListener, this);
    // The globals, then what they tell of themselves (the outputs' scales).
    if (wl_display_roundtrip(display_.get()) < 0 || wl_display_roundtrip(display_.get()) < 0) {
        Check();
    }
    if (!compositor_ || !shm_) {
        throw RunTimeError("cannot open the window", "the Wayland compositor '" + name_ + "' offers no " +
                                                         (!compositor_ ? "wl_compositor" : "wl_shm"));
    }
}

WaylandDisplay::~WaylandDisplay() {
    outputs_.clear();
    activation_.reset();
    fractionalScales_.reset();
    viewporter_.reset();
    shm_.reset();
    compositor_.reset();
    registry_.reset();
    if (display_) {
        wl_display_flush(display_.get());
    }
}

std::map<std::uint32_t, WaylandDisplay::Output>::const_iterator WaylandDisplay::Find(wl_output* output) const {
    return output == nullptr ? outputs_.end()
                             : std::find_if(outputs_.begin(), outputs_.end(),
                                            [output](const auto& known) { return known.second.proxy.get() == output; });
}

std::optional<std::uint32_t> WaylandDisplay::OutputName(wl_output* output) const {
    const auto found = Find(output);
    return found != outputs_.end() ? std::optional(found->first) : std::nullopt;
}

std::optional<int> WaylandDisplay::ScaleOf(std::uint32_t outputName) const {
    const auto found = outputs_.find(outputName);
    return found != outputs_.end() ? std::optional(std::max(1, found->second.scale)) : std::nullopt;
}

void WaylandDisplay::Defer(const RunTimeError& failure) {
    if (!deferred_) {
        deferred_ = failure;
    }
}

void WaylandDisplay::WaitForEvents(int wakeDescriptor, std::chrono::milliseconds longest) const {
    wl_display* display = display_.get();
    while (wl_display_prepare_read(display) != 0) {
        if (wl_display_dispatch_pending(display) < 0) {
            CheckConnection(display, name_);
        }
    }
    wl_display_flush(display);
    std::array<pollfd, 2> sources{pollfd{wl_display_get_fd(display), POLLIN, 0}, pollfd{wakeDescriptor, POLLIN, 0}};
    // An interrupted or failed wait is only a shorter one: the caller looks again.
    (void)poll(sources.data(), sources.size(), static_cast<int>(longest.count()));
    if ((sources[0].revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
        if (wl_display_read_events(display) < 0) {
            CheckConnection(display, name_);
        }
    } else {
        wl_display_cancel_read(display);
    }
}

bool WaylandDisplay::Flush() const {
    if (wl_display_flush(display_.get()) >= 0) {
        return true;
    }
    if (errno == EAGAIN) {
        return false;
    }
    ThrowConnectionFailure(display_.get(), name_, errno);
}

void WaylandDisplay::Check() {
    if (deferred_) {
        throw RunTimeError(*std::exchange(deferred_, std::nullopt));
    }
    CheckConnection(display_.get(), name_);
}

void CheckConnection(wl_display* display, const std::string& name) {
    const int error = wl_display_get_error(display);
    if (error == 0) {
        return;
    }
    if (error == EPROTO) {
        const wl_interface* interface = nullptr;
        std::uint32_t id = 0;
        const std::uint32_t code = wl_display_get_protocol_error(display, &interface, &id);
        throw RunTimeError("the Wayland compositor '" + name + "' ended the connection",
                           "protocol error " + std::to_string(code) + " on " +
                               (interface != nullptr ? interface->name : "an object") + " " + std::to_string(id));
    }
    throw RunTimeError("lost the connection to the Wayland compositor '" + name + "'", std::strerror(error));
}

// A compositor that ends a connection over a protocol error sends the error
// and closes the socket: a request that fails to go out (a broken pipe,
// which libwayland does not count as the connection's end) comes before the
// error is read. What is left is read first, so that the error told is the
// compositor's.
void ThrowConnectionFailure(wl_display* display, const std::string& name, int error) {
    if (wl_display_prepare_read(display) == 0) {
        (void)wl_display_read_events(display);
    }
    (void)wl_display_dispatch_pending(display);
    CheckConnection(display, name);
    throw RunTimeError("lost the connection to the Wayland compositor '" + name + "'", std::strerror(error));
}

void WaylandDisplay::Announced(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                               std::uint32_t version) {
    auto& self = *static_cast<WaylandDisplay*>(data);
    const std::string_view kind(interface);
    if (kind == wl_compositor_interface.name) {
        self.compositor_.reset(
            Bind<wl_compositor>(registry, name, wl_compositor_interface, version, kCompositorVersion));
    } else if (kind == wl_shm_interface.name) {
        self.shm_.reset(Bind<wl_shm>(registry, name, wl_shm_interface, version, 1));
    } else if (kind == wp_viewporter_interface.name) {
        self.viewporter_.reset(Bind<wp_viewporter>(registry, name, wp_viewporter_interface, version, 1));
    } else if (kind == wp_fractional_scale_manager_v1_interface.name) {
        self.fractionalScales_.reset(
            Bind<wp_fractional_scale_manager_v1>(registry, name, wp_fractional_scale_manager_v1_interface, version, 1));
    } else if (kind == xdg_activation_v1_interface.name) {
        self.activation_.reset(Bind<xdg_activation_v1>(registry, name, xdg_activation_v1_interface, version, 1));
    } else if (kind == wl_seat_interface.name && self.seat_.name == 0) {
        self.seat_ = {name, version};
    } else if (kind == wl_output_interface.name) {
        static const wl_output_listener outputListener{
            [](void*, wl_output*, std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t, const char*,
               const char*, std::int32_t) { Ignore(); },
            [](void*, wl_output*, std::uint32_t, std::int32_t, std::int32_t, std::int32_t) { Ignore(); },
            OutputDone,
            OutputScale,
            [](void*, wl_output*, const char*) { Ignore(); },
            [](void*, wl_output*, const char*) { Ignore(); }};
        Output& output = self.outputs_[name];
        output.proxy.reset(Bind<wl_output>(registry, name, wl_output_interface, version, kOutputVersion));
        wl_output_add_listener(output.proxy.get(), &outputListener, &self);
    }
}

// An output that goes is let go; the window finds it gone by its name.
void WaylandDisplay::Removed(void* data, wl_registry* /*registry*/, std::uint32_t name) {
    static_cast<WaylandDisplay*>(data)->outputs_.erase(name);
}

// An output's scale is told with the rest of its state, which holds once
// `done` comes; an output without `done` (version 1) has no scale to tell.
void WaylandDisplay::OutputScale(void* data, wl_output* output, std::int32_t scale) {
    auto& self = *static_cast<WaylandDisplay*>(data);
    if (const auto name = self.OutputName(output)) {
        self.outputs_.at(*name).pendingScale = scale;
    }
}

void WaylandDisplay::OutputDone(void* data, wl_output* output) {
    auto& self = *static_cast<WaylandDisplay*>(data);
    if (const auto name = self.OutputName(output)) {
        Output& known = self.outputs_.at(*name);
        known.scale = known.pendingScale;
    }
}

}  // namespace platform::wayland
