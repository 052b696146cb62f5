#include "platform/window/refresh_pace.h"

#include <algorithm>

namespace platform {
namespace {

// Until the display has shown its own pace, a common one's.
constexpr auto kUsualPeriod = std::chrono::microseconds(16667);
// Two refreshes closer than this are one, told twice.
constexpr auto kShortestPeriod = std::chrono::milliseconds(2);

}  // namespace

void RefreshPace::Refreshed(Clock::time_point at) {
    if (last_ && at - *last_ < kShortestPeriod) {
        return;
    }
    if (last_) {
        intervals_[told_ % kIntervals] = at - *last_;
        ++told_;
    }
    last_ = at;
}

std::optional<RefreshPace::Clock::time_point> RefreshPace::Next() const {
    if (!last_) {
        return std::nullopt;
    }
    return *last_ + Period();
}

RefreshPace::Clock::duration RefreshPace::Period() const {
    if (told_ == 0) {
        return kUsualPeriod;
    }
    return *std::min_element(intervals_.begin(), intervals_.begin() + std::min(told_, kIntervals));
}

}  // namespace platform
