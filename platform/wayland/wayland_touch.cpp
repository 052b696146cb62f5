#include "platform/wayland/wayland_touch.h"

namespace platform::wayland {

bool TouchSequence::Down(std::int32_t id, bool onTheSurface, double x, double y) {
    if (!onTheSurface) {
        return false;
    }
    const bool first = fingers_.empty() && !first_;
    fingers_.insert(id);
    if (first) {
        first_ = id;
        firstInside_ = Inside(x, y);
    }
    return first;
}

void TouchSequence::Motion(std::int32_t id, double x, double y) {
    if (first_ == id && !firstLifted_) {
        firstInside_ = Inside(x, y);
    }
}

void TouchSequence::Up(std::int32_t id) {
    if (fingers_.erase(id) != 0 && first_ == id) {
        firstLifted_ = true;
    }
}

std::optional<bool> TouchSequence::Frame() {
    if (!firstLifted_) {
        return std::nullopt;
    }
    first_.reset();
    firstLifted_ = false;
    return firstInside_;
}

bool TouchSequence::Cancel() {
    const bool pressed = first_.has_value();
    fingers_.clear();
    first_.reset();
    firstLifted_ = false;
    return pressed;
}

// Before the window has a size, a finger on its surface is inside it.
bool TouchSequence::Inside(double x, double y) const {
    return !size_ || (x >= 0 && y >= 0 && x < size_->width && y < size_->height);
}

}  // namespace platform::wayland
