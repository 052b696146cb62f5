#pragma once

// The seat's input over the window: its pointer, with the arrow set on
// every entry, and its touchscreen, told as the window form takes them
// (wayland_pointers.h).

#include <wayland-client.h>

#include <cstdint>

#include "platform/wayland/wayland_cursor.h"
#include "platform/wayland/wayland_display.h"
#include "platform/wayland/wayland_handles.h"
#include "platform/wayland/wayland_pointers.h"

namespace platform::wayland {

// What the seat tells of the mouse and fingers over the window, where
// they are in the surface's coordinates. Told from inside the connection's
// dispatch, where nothing may unwind: a sink only notes.
class SeatSink {
public:
    virtual void Pointed(const PointerEvent& event) = 0;

protected:
    ~SeatSink() = default;
};

// The compositor's first seat, its pointer and touch taken and let go as
// its capabilities come and go. Only the window's own surface counts:
// libdecor's frame has its own pointer, and cursors, over what it draws.
class WaylandSeat {
public:
    WaylandSeat(WaylandDisplay& display, wl_surface* surface, SeatSink& sink);
    ~WaylandSeat();
    WaylandSeat(const WaylandSeat&) = delete;
    WaylandSeat& operator=(const WaylandSeat&) = delete;

    // The scale the arrow is drawn at: the window's, which follows the
    // outputs it is on. A pointer inside has its arrow drawn anew.
    void ScaleCursor(int scale);

private:
    static void Capabilities(void* data, wl_seat* seat, std::uint32_t capabilities);
    static void PointerEnter(void* data, wl_pointer* pointer, std::uint32_t serial, wl_surface* surface, wl_fixed_t x,
                             wl_fixed_t y);
    static void PointerLeave(void* data, wl_pointer* pointer, std::uint32_t serial, wl_surface* surface);
    static void PointerMotion(void* data, wl_pointer* pointer, std::uint32_t time, wl_fixed_t x, wl_fixed_t y);
    static void PointerButton(void* data, wl_pointer* pointer, std::uint32_t serial, std::uint32_t time,
                              std::uint32_t button, std::uint32_t state);
    static void TouchDown(void* data, wl_touch* touch, std::uint32_t serial, std::uint32_t time, wl_surface* surface,
                          std::int32_t id, wl_fixed_t x, wl_fixed_t y);
    static void TouchUp(void* data, wl_touch* touch, std::uint32_t serial, std::uint32_t time, std::int32_t id);
    static void TouchMotion(void* data, wl_touch* touch, std::uint32_t time, std::int32_t id, wl_fixed_t x,
                            wl_fixed_t y);
    static void TouchFrame(void* data, wl_touch* touch);
    static void TouchCancel(void* data, wl_touch* touch);

    void TakePointer(bool present);
    void TakeTouch(bool present);
    void Tell(const SeatPointers::Events& events);
    // Sets the arrow; a failure goes to the display, to be thrown once the
    // dispatch has returned.
    void SetCursor();

    WaylandDisplay& display_;
    wl_surface* surface_;
    SeatSink& sink_;
    WaylandCursor cursor_;
    SeatHandle seat_;
    PointerHandle pointer_;
    TouchHandle touch_;

    // The pointer's last entry into the window, whose serial sets the arrow.
    bool pointerInside_ = false;
    std::uint32_t enterSerial_ = 0;
    int cursorScale_ = 1;
    // Where the mouse and the fingers are.
    SeatPointers pointers_;
};

}  // namespace platform::wayland
