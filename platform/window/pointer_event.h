#pragma once

// What a pointer did over a window, as the window system tells it: which
// pointer, what it did and where. What a click is the window form decides
// from these (click_rule.h), the same way on every desktop.

#include <cstdint>
#include <optional>
#include <tuple>

namespace platform {

// The mouse (one, whatever its buttons; a pen counts as one too) or a
// finger on a touchscreen, told apart by the window system's number for it.
struct Pointer {
    enum class Kind { Mouse, Finger };
    Kind kind = Kind::Mouse;
    std::int64_t id = 0;

    friend bool operator==(const Pointer&, const Pointer&) = default;
    friend bool operator<(const Pointer& a, const Pointer& b) {
        return std::tie(a.kind, a.id) < std::tie(b.kind, b.id);
    }
};

// A point in the client area's pixels, which may lie outside it.
struct PointerPosition {
    double x = 0;
    double y = 0;
};

struct PointerEvent {
    // Down: a button pressed, a finger put down; Up: released, lifted;
    // Cancel: the window system took the pointer over (a gesture of its own).
    enum class Action { Down, Up, Cancel };
    Action action = Action::Down;
    Pointer pointer;
    // Where it was; none where it was not over the window's client area
    // surface at all (its frame, another window).
    std::optional<PointerPosition> at;
};

}  // namespace platform
