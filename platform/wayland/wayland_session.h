#pragma once

namespace platform::wayland {

// A Wayland compositor answers at WAYLAND_DISPLAY.
[[nodiscard]] bool CompositorAnswers();

}  // namespace platform::wayland
