#pragma once

// What a click is, on every desktop and in the browser's page alike: a
// press and its release, both in the client area. The mouse presses with any
// button; of the fingers on a touchscreen only the first of a touch counts,
// as Windows' touch-to-mouse has it, and those that join it are none. A
// cancelled touch is a release outside; a press whose release never came is
// given up for the next press.

#include <optional>
#include <set>

#include "platform/image/pixel_rect.h"
#include "platform/window/pointer_event.h"

namespace platform {

class ClickRule {
public:
    // Takes what a pointer did in a client area of this size: true when it
    // completes a click.
    [[nodiscard]] bool Take(const PointerEvent& event, PixelSize client);

private:
    [[nodiscard]] bool FingerDown() const;

    // The pointers down: the mouse while a button is, and the fingers.
    std::set<Pointer> down_;
    // The press that may yet be a click, and whether it was inside.
    std::optional<Pointer> pressed_;
    bool pressedInside_ = false;
};

}  // namespace platform
