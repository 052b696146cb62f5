#include "platform/wayland/wayland_display.h"

#include <poll.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/run_time_error.h"

namespace platform::wayland {
namespace {

// The versions the program speaks: damage in buffer pixels needs the
// compositor's 4, an output's scale 2.
constexpr std::uint32_t kCompositorVersion = 4;
constexpr std::uint32_t kOutputVersion = 2;
constexpr std::uint32_t kSeatVersion = 5;

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
    static const wl_registry_listener registryListener{Global, GlobalRemove};
    registry_.reset(wl_display_get_registry(display_.get()));
    wl_registry_add_listener(registry_.get(), &registryListener, this);
    // The globals, then what they tell of themselves (outputs' scales, the seat's pointer).
    if (wl_display_roundtrip(display_.get()) < 0 || wl_display_roundtrip(display_.get()) < 0) {
        Check();
    }
    if (!compositor_ || !shm_) {
        throw RunTimeError("cannot open the window", "the Wayland compositor '" + name_ + "' offers no " +
                                                         (!compositor_ ? "wl_compositor" : "wl_shm"));
    }
}

WaylandDisplay::~WaylandDisplay() {
    pointer_.reset();
    seat_.reset();
    outputs_.clear();
    fractionalScales_.reset();
    viewporter_.reset();
    shm_.reset();
    compositor_.reset();
    registry_.reset();
    if (display_) {
        wl_display_flush(display_.get());
    }
}

int WaylandDisplay::ScaleOf(wl_output* output) const {
    for (const auto& [name, known] : outputs_) {
        if (known.proxy.get() == output) {
            return std::max(1, known.scale);
        }
    }
    return 1;
}

void WaylandDisplay::WaitForEvents(int wakeDescriptor, std::chrono::milliseconds longest) const {
    wl_display* display = display_.get();
    while (wl_display_prepare_read(display) != 0) {
        if (wl_display_dispatch_pending(display) < 0) {
            Check();
        }
    }
    wl_display_flush(display);
    std::array<pollfd, 2> sources{pollfd{wl_display_get_fd(display), POLLIN, 0}, pollfd{wakeDescriptor, POLLIN, 0}};
    // An interrupted or failed wait is only a shorter one: the caller looks again.
    (void)poll(sources.data(), sources.size(), static_cast<int>(longest.count()));
    if ((sources[0].revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
        if (wl_display_read_events(display) < 0) {
            Check();
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

void WaylandDisplay::Check() const { CheckConnection(display_.get(), name_); }

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

void WaylandDisplay::Global(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
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
    } else if (kind == wl_seat_interface.name && !self.seat_) {
        static const wl_seat_listener seatListener{SeatCapabilities, [](void*, wl_seat*, const char*) { Ignore(); }};
        self.seat_.reset(Bind<wl_seat>(registry, name, wl_seat_interface, version, kSeatVersion));
        wl_seat_add_listener(self.seat_.get(), &seatListener, &self);
    } else if (kind == wl_output_interface.name) {
        static const wl_output_listener outputListener{
            [](void*, wl_output*, std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t, const char*,
               const char*, std::int32_t) { Ignore(); },
            [](void*, wl_output*, std::uint32_t, std::int32_t, std::int32_t, std::int32_t) { Ignore(); },
            [](void*, wl_output*) { Ignore(); },
            OutputScale,
            [](void*, wl_output*, const char*) { Ignore(); },
            [](void*, wl_output*, const char*) { Ignore(); }};
        Output& output = self.outputs_[name];
        output.proxy.reset(Bind<wl_output>(registry, name, wl_output_interface, version, kOutputVersion));
        wl_output_add_listener(output.proxy.get(), &outputListener, &self);
    }
}

void WaylandDisplay::GlobalRemove(void* data, wl_registry* /*registry*/, std::uint32_t name) {
    static_cast<WaylandDisplay*>(data)->outputs_.erase(name);
}

void WaylandDisplay::SeatCapabilities(void* data, wl_seat* seat, std::uint32_t capabilities) {
    auto& self = *static_cast<WaylandDisplay*>(data);
    const bool hasPointer = (capabilities & WL_SEAT_CAPABILITY_POINTER) != 0;
    if (hasPointer && !self.pointer_) {
        static const wl_pointer_listener pointerListener{
            PointerEnter,
            PointerLeave,
            [](void*, wl_pointer*, std::uint32_t, wl_fixed_t, wl_fixed_t) { Ignore(); },
            PointerButton,
            [](void*, wl_pointer*, std::uint32_t, std::uint32_t, wl_fixed_t) { Ignore(); },
            [](void*, wl_pointer*) { Ignore(); },
            [](void*, wl_pointer*, std::uint32_t) { Ignore(); },
            [](void*, wl_pointer*, std::uint32_t, std::uint32_t) { Ignore(); },
            [](void*, wl_pointer*, std::uint32_t, std::int32_t) { Ignore(); },
            [](void*, wl_pointer*, std::uint32_t, std::int32_t) { Ignore(); }};
        self.pointer_.reset(wl_seat_get_pointer(seat));
        wl_pointer_add_listener(self.pointer_.get(), &pointerListener, &self);
    } else if (!hasPointer) {
        self.pointer_.reset();
    }
}

void WaylandDisplay::OutputScale(void* data, wl_output* output, std::int32_t scale) {
    for (auto& [name, known] : static_cast<WaylandDisplay*>(data)->outputs_) {
        if (known.proxy.get() == output) {
            known.scale = scale;
        }
    }
}

void WaylandDisplay::PointerEnter(void* data, wl_pointer* /*pointer*/, std::uint32_t /*serial*/, wl_surface* surface,
                                  wl_fixed_t /*x*/, wl_fixed_t /*y*/) {
    if (auto* sink = static_cast<WaylandDisplay*>(data)->pointerSink_) {
        sink->PointerEntered(surface);
    }
}

void WaylandDisplay::PointerLeave(void* data, wl_pointer* /*pointer*/, std::uint32_t /*serial*/,
                                  wl_surface* /*surface*/) {
    if (auto* sink = static_cast<WaylandDisplay*>(data)->pointerSink_) {
        sink->PointerLeft();
    }
}

void WaylandDisplay::PointerButton(void* data, wl_pointer* /*pointer*/, std::uint32_t /*serial*/,
                                   std::uint32_t /*time*/, std::uint32_t /*button*/, std::uint32_t state) {
    // Any button makes a click, as on X.
    auto* sink = static_cast<WaylandDisplay*>(data)->pointerSink_;
    if (sink == nullptr) {
        return;
    }
    if (state == WL_POINTER_BUTTON_STATE_PRESSED) {
        sink->ButtonPressed();
    } else {
        sink->ButtonReleased();
    }
}

}  // namespace platform::wayland
