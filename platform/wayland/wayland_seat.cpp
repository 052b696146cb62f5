#include "platform/wayland/wayland_seat.h"

#include <algorithm>

namespace platform::wayland {
namespace {

// Pointer and touch `release` come with 3; 5 is what the listeners below know.
constexpr std::uint32_t kSeatVersion = 5;

void Ignore() {}

PointerPosition Position(wl_fixed_t x, wl_fixed_t y) { return {wl_fixed_to_double(x), wl_fixed_to_double(y)}; }

}  // namespace

WaylandSeat::WaylandSeat(WaylandDisplay& display, wl_surface* surface, SeatSink& sink)
    : display_(display), surface_(surface), sink_(sink), cursor_(display) {
    const Global& seat = display.Seat();
    if (seat.name == 0) {
        return;  // a compositor without input: nothing to click with
    }
    static const wl_seat_listener seatListener{Capabilities, [](void*, wl_seat*, const char*) { Ignore(); }};
    seat_.reset(static_cast<wl_seat*>(
        wl_registry_bind(display.Registry(), seat.name, &wl_seat_interface, std::min(seat.version, kSeatVersion))));
    wl_seat_add_listener(seat_.get(), &seatListener, this);
}

WaylandSeat::~WaylandSeat() {
    touch_.reset();
    pointer_.reset();
    seat_.reset();
}

void WaylandSeat::ScaleCursor(int scale) {
    if (scale == cursorScale_) {
        return;
    }
    cursorScale_ = scale;
    if (pointerInside_) {
        SetCursor();
    }
}

void WaylandSeat::SetCursor() {
    try {
        cursor_.Set(pointer_.get(), enterSerial_, cursorScale_);
    } catch (const RunTimeError& failure) {
        display_.Defer(failure);
    }
}

void WaylandSeat::Capabilities(void* data, wl_seat* /*seat*/, std::uint32_t capabilities) {
    auto& self = *static_cast<WaylandSeat*>(data);
    self.TakePointer((capabilities & WL_SEAT_CAPABILITY_POINTER) != 0);
    self.TakeTouch((capabilities & WL_SEAT_CAPABILITY_TOUCH) != 0);
}

void WaylandSeat::TakePointer(bool present) {
    if (present && !pointer_) {
        static const wl_pointer_listener pointerListener{
            PointerEnter,
            PointerLeave,
            PointerMotion,
            PointerButton,
            [](void*, wl_pointer*, std::uint32_t, std::uint32_t, wl_fixed_t) { Ignore(); },
            [](void*, wl_pointer*) { Ignore(); },
            [](void*, wl_pointer*, std::uint32_t) { Ignore(); },
            [](void*, wl_pointer*, std::uint32_t, std::uint32_t) { Ignore(); },
            [](void*, wl_pointer*, std::uint32_t, std::int32_t) { Ignore(); },
            [](void*, wl_pointer*, std::uint32_t, std::int32_t) { Ignore(); }};
        pointer_.reset(wl_seat_get_pointer(seat_.get()));
        wl_pointer_add_listener(pointer_.get(), &pointerListener, this);
    } else if (!present && pointer_) {
        pointer_.reset();
        pointerInside_ = false;
        pointers_.Leave();
    }
}

void WaylandSeat::TakeTouch(bool present) {
    if (present && !touch_) {
        static const wl_touch_listener touchListener = [] {
            wl_touch_listener listener{};
            listener.down = TouchDown;
            listener.up = TouchUp;
            listener.motion = TouchMotion;
            listener.frame = TouchFrame;
            listener.cancel = TouchCancel;
            return listener;
        }();
        touch_.reset(wl_seat_get_touch(seat_.get()));
        wl_touch_add_listener(touch_.get(), &touchListener, this);
    } else if (!present && touch_) {
        touch_.reset();
        Tell(pointers_.TouchCancel());
    }
}

void WaylandSeat::Tell(const SeatPointers::Events& events) {
    for (const PointerEvent& event : events) {
        sink_.Pointed(event);
    }
}

// wl_pointer.enter leaves the pointer's image to the client: the arrow is
// set on every entry into the window, with that entry's serial.
void WaylandSeat::PointerEnter(void* data, wl_pointer* /*pointer*/, std::uint32_t serial, wl_surface* surface,
                               wl_fixed_t x, wl_fixed_t y) {
    auto& self = *static_cast<WaylandSeat*>(data);
    self.pointerInside_ = surface != nullptr && surface == self.surface_;
    self.pointers_.Enter(self.pointerInside_, Position(x, y));
    if (self.pointerInside_) {
        self.enterSerial_ = serial;
        self.SetCursor();
    }
}

// While a press holds the pointer to the window (the compositor's implicit
// grab) it leaves only after the release.
void WaylandSeat::PointerLeave(void* data, wl_pointer* /*pointer*/, std::uint32_t /*serial*/, wl_surface* /*surface*/) {
    auto& self = *static_cast<WaylandSeat*>(data);
    self.pointerInside_ = false;
    self.pointers_.Leave();
}

void WaylandSeat::PointerMotion(void* data, wl_pointer* /*pointer*/, std::uint32_t /*time*/, wl_fixed_t x,
                                wl_fixed_t y) {
    static_cast<WaylandSeat*>(data)->pointers_.Motion(Position(x, y));
}

// Any button makes a click, as on X.
void WaylandSeat::PointerButton(void* data, wl_pointer* /*pointer*/, std::uint32_t /*serial*/, std::uint32_t /*time*/,
                                std::uint32_t /*button*/, std::uint32_t state) {
    auto& self = *static_cast<WaylandSeat*>(data);
    self.sink_.Pointed(self.pointers_.Button(state == WL_POINTER_BUTTON_STATE_PRESSED));
}

void WaylandSeat::TouchDown(void* data, wl_touch* /*touch*/, std::uint32_t /*serial*/, std::uint32_t /*time*/,
                            wl_surface* surface, std::int32_t id, wl_fixed_t x, wl_fixed_t y) {
    auto& self = *static_cast<WaylandSeat*>(data);
    self.pointers_.TouchDown(id, surface != nullptr && surface == self.surface_, Position(x, y));
}

void WaylandSeat::TouchMotion(void* data, wl_touch* /*touch*/, std::uint32_t /*time*/, std::int32_t id, wl_fixed_t x,
                              wl_fixed_t y) {
    static_cast<WaylandSeat*>(data)->pointers_.TouchMotion(id, Position(x, y));
}

void WaylandSeat::TouchUp(void* data, wl_touch* /*touch*/, std::uint32_t /*serial*/, std::uint32_t /*time*/,
                          std::int32_t id) {
    static_cast<WaylandSeat*>(data)->pointers_.TouchUp(id);
}

void WaylandSeat::TouchFrame(void* data, wl_touch* /*touch*/) {
    auto& self = *static_cast<WaylandSeat*>(data);
    self.Tell(self.pointers_.TouchFrame());
}

void WaylandSeat::TouchCancel(void* data, wl_touch* /*touch*/) {
    auto& self = *static_cast<WaylandSeat*>(data);
    self.Tell(self.pointers_.TouchCancel());
}

}  // namespace platform::wayland
