#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace platform {

// Decides when a window's title goes to the window manager. The program sets
// the title every frame, and a frame can take far less than a display
// refresh; a window manager asked to redraw the title bar hundreds of times a
// second spends more than the program does. So a new title is passed on at
// most once an interval, and a title held back is passed on at the first
// frame after the interval ends: the shown title is never older than one
// interval and one frame.
class TitleThrottle {
public:
    using Clock = std::chrono::steady_clock;

    // `shown` is the title the window has now.
    TitleThrottle(std::string shown, Clock::duration interval) : interval_(interval), sent_(std::move(shown)) {}

    // The interval for a display refreshing this many times a second: one
    // refresh, but never shorter than 1/120 s nor longer than 1/60 s (also
    // when the display does not say).
    [[nodiscard]] static Clock::duration IntervalForRefreshRate(int hertz);

    // The title to send to the window manager at this moment, if any, when
    // the program wants `wanted` shown.
    [[nodiscard]] std::optional<std::string> Due(std::string_view wanted, Clock::time_point now);

private:
    Clock::duration interval_;
    std::string sent_;
    std::optional<Clock::time_point> sentAt_;
};

}  // namespace platform
