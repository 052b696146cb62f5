#pragma once

#include <cstdint>

namespace platform {

// A coverage in [0, 1] in 256 steps, 0 (none) to 255 (whole), the same way
// for every stroke. The coverage is never negative, so adding a half and
// truncating rounds it.
template <typename Fraction>
constexpr std::uint8_t CoverageSteps(Fraction coverage) {
    return static_cast<std::uint8_t>(
        static_cast<int>(coverage * Fraction{255} + Fraction{0.5}));  // NOLINT(bugprone-incorrect-roundings)
}

}  // namespace platform
