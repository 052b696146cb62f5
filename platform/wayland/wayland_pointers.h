#pragma once

// The seat's mouse and fingers over the window, as the window form takes
// them (pointer_event.h): which, what, where. Wayland tells a button and a
// finger's lifting with no position: where each is, is followed here from
// the pointer's entry and motion and each finger's own. Positions are the
// window's surface's; elsewhere (libdecor's frame) the mouse is not over
// the client area, and a finger put down there is not the window's.

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "platform/window/pointer_event.h"

namespace platform::wayland {

class SeatPointers {
public:
    using Events = std::vector<PointerEvent>;

    // The mouse entered a surface, the window's own or another, or left it;
    // it moved (also outside the surface, while a press holds it there).
    void Enter(bool onTheWindow, PointerPosition at);
    void Leave() { mouse_.reset(); }
    void Motion(PointerPosition at);
    [[nodiscard]] PointerEvent Button(bool pressed) const;

    // A finger's events are told once the frame that groups them ends, so
    // that a touch cancelled in the same group is no release.
    void TouchDown(std::int32_t id, bool onTheWindow, PointerPosition at);
    void TouchMotion(std::int32_t id, PointerPosition at);
    void TouchUp(std::int32_t id);
    [[nodiscard]] Events TouchFrame();
    // The compositor took every touch over (a gesture of its own).
    [[nodiscard]] Events TouchCancel();

private:
    static Pointer Finger(std::int32_t id) { return {Pointer::Kind::Finger, id}; }

    // Where the mouse is while it is over the window's surface (or held to
    // it by a press).
    bool mouseOnTheWindow_ = false;
    std::optional<PointerPosition> mouse_;
    // The window's fingers that are down, where each is; what they did
    // since the last frame.
    std::map<std::int32_t, PointerPosition> fingers_;
    Events pending_;
};

}  // namespace platform::wayland
