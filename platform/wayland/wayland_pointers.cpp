#include "platform/wayland/wayland_pointers.h"

#include <utility>

namespace platform::wayland {

void SeatPointers::Enter(bool onTheWindow, PointerPosition at) {
    mouseOnTheWindow_ = onTheWindow;
    mouse_.reset();
    if (onTheWindow) {
        mouse_ = at;
    }
}

// Motion is told in the coordinates of the surface the mouse is over.
void SeatPointers::Motion(PointerPosition at) {
    if (mouseOnTheWindow_) {
        mouse_ = at;
    }
}

PointerEvent SeatPointers::Button(bool pressed) const {
    return {pressed ? PointerEvent::Action::Down : PointerEvent::Action::Up, {}, mouse_};
}

void SeatPointers::TouchDown(std::int32_t id, bool onTheWindow, PointerPosition at) {
    if (onTheWindow) {
        fingers_[id] = at;
        pending_.push_back({PointerEvent::Action::Down, Finger(id), at});
    }
}

void SeatPointers::TouchMotion(std::int32_t id, PointerPosition at) {
    if (const auto finger = fingers_.find(id); finger != fingers_.end()) {
        finger->second = at;
    }
}

void SeatPointers::TouchUp(std::int32_t id) {
    if (const auto finger = fingers_.find(id); finger != fingers_.end()) {
        pending_.push_back({PointerEvent::Action::Up, Finger(id), finger->second});
        fingers_.erase(finger);
    }
}

SeatPointers::Events SeatPointers::TouchFrame() { return std::exchange(pending_, {}); }

SeatPointers::Events SeatPointers::TouchCancel() {
    Events cancelled;
    for (const auto& [id, at] : fingers_) {
        cancelled.push_back({PointerEvent::Action::Cancel, Finger(id), at});
    }
    // Those lifted in the group the cancel ends were cancelled too.
    for (const PointerEvent& event : pending_) {
        if (event.action == PointerEvent::Action::Up) {
            cancelled.push_back({PointerEvent::Action::Cancel, event.pointer, event.at});
        }
    }
    fingers_.clear();
    pending_.clear();
    return cancelled;
}

}  // namespace platform::wayland
