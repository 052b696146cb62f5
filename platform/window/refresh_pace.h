#pragma once

// The display's refreshes, where the window system tells of them (a
// browser's animation frames): when the next is expected. The period is the
// shortest interval among the last few, so that a refresh skipped while the
// program drew does not lengthen it, and a slower display (a move to
// another screen, a browser's throttling) lengthens it within those few.

#include <array>
#include <chrono>
#include <cstddef>
#include <optional>

namespace platform {

class RefreshPace {
public:
    using Clock = std::chrono::steady_clock;

    void Refreshed(Clock::time_point at);
    // The next refresh expected; none before the first is told of.
    [[nodiscard]] std::optional<Clock::time_point> Next() const;
    [[nodiscard]] Clock::duration Period() const;

private:
    static constexpr std::size_t kIntervals = 8;

    std::optional<Clock::time_point> last_;
    std::array<Clock::duration, kIntervals> intervals_{};
    std::size_t told_ = 0;
};

}  // namespace platform
