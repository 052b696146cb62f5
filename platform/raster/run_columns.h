#pragma once

// The columns of a row that a run of pixel centres covers, as every
// segment's rows take them, widened to whole fours: the definitions, which
// the AVX2 kernels (kernels_avx2.cpp) work out four rows at a time.

#include <algorithm>
#include <utility>

namespace platform {

// Pixel columns whose centres lie in [left, right], clipped to the image.
// The ends are clamped before they become integers (they may be infinite
// for an empty run), which also lets a truncation stand in for the slower
// floor and ceil.
inline std::pair<int, int> Columns(int width, double left, double right) {
    const double lowest = -1;
    const auto highest = static_cast<double>(width) + 1;
    const double from = std::clamp(left - 0.5, lowest, highest);
    const double to = std::clamp(right - 0.5, lowest, highest);
    int x0 = static_cast<int>(from);
    x0 += (x0 < from) ? 1 : 0;  // ceil
    int last = static_cast<int>(to);
    last -= (last > to) ? 1 : 0;  // floor
    return {std::max(0, x0), std::min(width, last + 1)};
}

// The columns widened to a whole number of fours where the row has room for
// it, so that strokes blend four pixels at a time to the run's end.
inline std::pair<int, int> InFours(int width, std::pair<int, int> columns) {
    const auto [x0, x1] = columns;
    if (x0 >= x1) {
        return columns;
    }
    const int fours = (x1 - x0 + 3) / 4 * 4;
    const int end = std::min(width, x0 + fours);
    return {std::max(0, end - fours), end};
}

}  // namespace platform
