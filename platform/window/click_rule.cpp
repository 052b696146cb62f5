#include "platform/window/click_rule.h"

#include <algorithm>

namespace platform {
namespace {

bool Inside(const std::optional<PointerPosition>& at, PixelSize client) {
    return at && at->x >= 0 && at->y >= 0 && at->x < client.width && at->y < client.height;
}

}  // namespace

bool ClickRule::Take(const PointerEvent& event, PixelSize client) {
    const Pointer& pointer = event.pointer;
    switch (event.action) {
        case PointerEvent::Action::Down: {
            // Down again with no release between: that release never came.
            if (down_.erase(pointer) != 0 && pressed_ == pointer) {
                pressed_.reset();
            }
            const bool press = pointer.kind == Pointer::Kind::Mouse || !FingerDown();
            down_.insert(pointer);
            if (press) {
                pressed_ = pointer;
                pressedInside_ = Inside(event.at, client);
            }
            return false;
        }
        case PointerEvent::Action::Up:
            down_.erase(pointer);
            if (pressed_ != pointer) {
                return false;
            }
            pressed_.reset();
            return pressedInside_ && Inside(event.at, client);
        case PointerEvent::Action::Cancel:
            down_.erase(pointer);
            if (pressed_ == pointer) {
                pressed_.reset();
            }
            return false;
    }
    return false;
}

bool ClickRule::FingerDown() const {
    return std::any_of(down_.begin(), down_.end(),
                       [](const Pointer& pointer) { return pointer.kind == Pointer::Kind::Finger; });
}

}  // namespace platform
