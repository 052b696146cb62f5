#include "platform/window/title_throttle.h"

#include <algorithm>

namespace platform {

TitleThrottle::Clock::duration TitleThrottle::IntervalForRefreshRate(int hertz) {
    constexpr int kFastest = 120;
    constexpr int kSlowest = 60;
    const int rate = hertz <= 0 ? kSlowest : std::clamp(hertz, kSlowest, kFastest);
    return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(1.0 / rate));
}

std::optional<std::string> TitleThrottle::Due(std::string_view wanted, Clock::time_point now) {
    if (wanted == sent_) {
        return std::nullopt;
    }
    if (sentAt_ && now - *sentAt_ < interval_) {
        return std::nullopt;
    }
    sent_ = wanted;
    sentAt_ = now;
    return sent_;
}

}  // namespace platform
