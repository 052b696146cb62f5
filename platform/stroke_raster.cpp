#include "platform/stroke_raster.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/capsule_coverage.h"
#include "platform/coverage_blend.h"

namespace platform {
namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// Beyond the stroke's half width, coverage fades out over half a pixel on
// either side of the edge.
constexpr double kFeather = 0.5;

std::uint32_t* Row(const PixelRows& rows, int y) {
    return reinterpret_cast<std::uint32_t*>(rows.data + static_cast<std::ptrdiff_t>(y) * rows.stride);
}

constexpr std::uint8_t kWhole = 255;

// A pixel's coverage from its centre's distance to the stroke's middle line.
std::uint8_t CoverageAt(double distance, double halfWidth) {
    const double fraction = std::clamp(halfWidth + kFeather - distance, 0.0, 1.0);
    // The fraction is never negative, so adding a half and truncating rounds it.
    return static_cast<std::uint8_t>(fraction * kWhole + 0.5);  // NOLINT(bugprone-incorrect-roundings)
}

// Pixel columns whose centres lie in [left, right], clipped to the image.
// The ends are clamped before they become integers (they may be infinite
// for an empty run), which also lets a truncation stand in for the slower
// floor and ceil.
std::pair<int, int> Columns(int width, double left, double right) {
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

// A row's run of pixel centres: [left, right] may be touched by the stroke,
// [solidLeft, solidRight] lies wholly inside it (empty when left > right).
struct Run {
    double left;
    double right;
    double solidLeft;
    double solidRight;
};

// Adds the run's coverage; DistanceAt gives a pixel centre's distance from
// the stroke's middle line. The solid part is whole without asking.
template <typename DistanceAt>
void CoverRun(int width, int y, const Run& run, double halfWidth, Coverage& coverage, DistanceAt distanceAt) {
    const auto [x0, x1] = Columns(width, run.left, run.right);
    if (x0 >= x1) {
        return;
    }
    const int start = x0;  // for the lambda below, which cannot name a binding
    auto [solid0, solid1] = Columns(width, run.solidLeft, run.solidRight);
    solid0 = std::clamp(solid0, x0, x1);
    solid1 = std::clamp(solid1, solid0, x1);
    const std::size_t first = coverage.values.size();
    coverage.values.resize(first + static_cast<std::size_t>(x1 - x0));
    std::uint8_t* values = coverage.values.data() + first;
    const auto cover = [&](int from, int to) {
        for (int x = from; x < to; ++x) {
            values[x - start] = CoverageAt(distanceAt(x + 0.5), halfWidth);
        }
    };
    cover(x0, solid0);
    std::fill(values + (solid0 - x0), values + (solid1 - x0), kWhole);
    cover(solid1, x1);
    coverage.runs.push_back({y, x0, x1, first});
}

}  // namespace

void CoverSegment(int width, int height, double x1, double y1, double x2, double y2, double strokeWidth,
                  Coverage& coverage) {
    const double halfWidth = strokeWidth / 2;
    const double reach = halfWidth + kFeather;
    const double dx = x2 - x1;
    const double dy = y2 - y1;
    const double lengthSquared = dx * dx + dy * dy;
    const double inverseLengthSquared = lengthSquared > 0 ? 1 / lengthSquared : 0;
    const double inverseLength = std::sqrt(inverseLengthSquared);
    // What every row's run needs, worked out once for the segment.
    const bool steep = std::abs(dy) > 1e-12;
    const bool slanted = std::abs(dx) > 1e-12;
    const double dxPerDy = steep ? dx / dy : 0;
    const double dyPerDx = slanted ? dy / dx : 0;
    const double halfRun = steep ? reach * std::sqrt(lengthSquared) / std::abs(dy) : 0;
    const int top = std::max(0, static_cast<int>(std::floor(std::min(y1, y2) - reach)));
    const int bottom = std::min(height - 1, static_cast<int>(std::ceil(std::max(y1, y2) + reach)));
    if (top > bottom) {
        return;
    }
    CapsuleRow capsule;
    capsule.x1 = static_cast<float>(x1);
    capsule.y1 = static_cast<float>(y1);
    capsule.dx = static_cast<float>(dx);
    capsule.dy = static_cast<float>(dy);
    capsule.inverseLengthSquared = static_cast<float>(inverseLengthSquared);
    capsule.edge = static_cast<float>(reach);
    // Room for every row's run at once, given back at the end: no run is
    // wider than the band's crossing and a cap on either side.
    const double widest = (steep ? 2 * halfRun : std::abs(dx)) + 2 * reach + 3;
    const auto rowWidth = static_cast<std::size_t>(std::min(static_cast<double>(width), widest));
    std::size_t runCount = coverage.runs.size();
    std::size_t valueCount = coverage.values.size();
    coverage.runs.resize(runCount + static_cast<std::size_t>(bottom - top + 1));
    coverage.values.resize(valueCount + rowWidth * static_cast<std::size_t>(bottom - top + 1));
    for (int y = top; y <= bottom; ++y) {
        // The row's pixel centres within reach of the segment form one run
        // (the stroke is convex): the union of the two end discs and the band
        // between them.
        const double py = y + 0.5;
        double left = kInfinity;
        double right = -kInfinity;
        for (const auto& [ex, ey] : {std::pair{x1, y1}, std::pair{x2, y2}}) {
            const double rise = py - ey;
            if (std::abs(rise) <= reach) {
                const double half = std::sqrt(reach * reach - rise * rise);
                left = std::min(left, ex - half);
                right = std::max(right, ex + half);
            }
        }
        if (steep) {
            // Where the row crosses the band: the centre line's crossing,
            // widened by the band's horizontal half width, and kept between
            // the two ends' perpendiculars, (p - e) . d = 0.
            const double crossing = x1 + (py - y1) * dxPerDy;
            double bandLeft = crossing - halfRun;
            double bandRight = crossing + halfRun;
            if (slanted) {
                const double atStart = x1 - (py - y1) * dyPerDx;
                const double atEnd = x2 - (py - y2) * dyPerDx;
                bandLeft = std::max(bandLeft, std::min(atStart, atEnd));
                bandRight = std::min(bandRight, std::max(atStart, atEnd));
            } else if (py < std::min(y1, y2) || py > std::max(y1, y2)) {
                bandLeft = kInfinity;
            }
            if (bandLeft <= bandRight) {
                left = std::min(left, bandLeft);
                right = std::max(right, bandRight);
            }
        } else if (std::abs(py - y1) <= reach) {
            left = std::min(left, std::min(x1, x2));
            right = std::max(right, std::max(x1, x2));
        }
        if (left > right) {
            continue;
        }
        auto [from, to] = Columns(width, left, right);
        to = std::min(to, from + static_cast<int>(rowWidth));
        if (from >= to) {
            continue;
        }
        // Rows whose pixels all lie between the two ends' perpendiculars
        // see only the band: their distance is linear along the row.
        const double tFrom = ((from + 0.5 - x1) * dx + (py - y1) * dy) * inverseLengthSquared;
        const double tTo = ((to - 0.5 - x1) * dx + (py - y1) * dy) * inverseLengthSquared;
        std::uint8_t* values = coverage.values.data() + valueCount;
        if (std::min(tFrom, tTo) >= 0 && std::max(tFrom, tTo) <= 1) {
            const BandRow band{static_cast<float>(((from + 0.5 - x1) * dy - (py - y1) * dx) * inverseLength),
                               static_cast<float>(dy * inverseLength), capsule.edge};
            CoverBandRow(band, to - from, values);
        } else {
            capsule.py = static_cast<float>(py);
            CoverCapsuleRow(capsule, from, to - from, values);
        }
        coverage.runs[runCount++] = {y, from, to, valueCount};
        valueCount += static_cast<std::size_t>(to - from);
    }
    coverage.runs.resize(runCount);
    coverage.values.resize(valueCount);
}

void CoverCircle(int width, int height, double cx, double cy, double radius, double strokeWidth, Coverage& coverage) {
    const double halfWidth = strokeWidth / 2;
    const double outer = radius + halfWidth + kFeather;
    const double inner = radius - halfWidth - kFeather;
    // Between these two radii every pixel is wholly covered.
    const double solidOuter = radius + halfWidth - kFeather;
    const double solidInner = std::max(0.0, radius - halfWidth + kFeather);
    // Near the ring, |p - c| - r = (|p - c|^2 - r^2) / (|p - c| + r), and the
    // denominator is 2r to within the stroke's width: on a large circle
    // that saves the square root at a cost of well under a hundredth of a
    // pixel. Small circles take the root.
    constexpr double kLargeRadius = 32;
    const double radiusSquared = radius * radius;
    const double inverseDiameter = radius > 0 ? 1 / (2 * radius) : 0;
    const auto distanceOnRow = [&](double py) {
        const double riseSquared = (py - cy) * (py - cy);
        return [=](double px) {
            const double squared = (px - cx) * (px - cx) + riseSquared;
            return radius >= kLargeRadius ? std::abs(squared - radiusSquared) * inverseDiameter
                                          : std::abs(std::sqrt(squared) - radius);
        };
    };
    const int top = std::max(0, static_cast<int>(std::floor(cy - outer)));
    const int bottom = std::min(height - 1, static_cast<int>(std::ceil(cy + outer)));
    for (int y = top; y <= bottom; ++y) {
        const double rise = y + 0.5 - cy;
        if (std::abs(rise) > outer) {
            continue;
        }
        const double outerHalf = std::sqrt(outer * outer - rise * rise);
        const double innerHalf = std::abs(rise) < inner ? std::sqrt(inner * inner - rise * rise) : -1;
        const double solidOuterHalf =
            std::abs(rise) < solidOuter ? std::sqrt(solidOuter * solidOuter - rise * rise) : -1;
        const double solidInnerHalf =
            std::abs(rise) < solidInner ? std::sqrt(solidInner * solidInner - rise * rise) : -1;
        const auto distance = distanceOnRow(y + 0.5);
        if (innerHalf >= 0) {
            // The ring crosses the row twice; the inside is left alone.
            const Run leftRun{cx - outerHalf, cx - innerHalf, cx - solidOuterHalf, cx - solidInnerHalf};
            const Run rightRun{cx + innerHalf, cx + outerHalf, cx + solidInnerHalf, cx + solidOuterHalf};
            CoverRun(width, y, leftRun, halfWidth, coverage, distance);
            CoverRun(width, y, rightRun, halfWidth, coverage, distance);
        } else {
            // Near the top or bottom one run spans the ring; its solid part
            // is found from the outside in, and it may have a gap in the
            // middle, so only a solid part that has no gap is taken.
            const Run run{cx - outerHalf, cx + outerHalf, cx - solidOuterHalf,
                          solidInnerHalf < 0 ? cx + solidOuterHalf : cx - solidOuterHalf - 1};
            CoverRun(width, y, run, halfWidth, coverage, distance);
        }
    }
}

void PaintCoverage(const PixelRows& rows, const Coverage& coverage, std::uint32_t rgb, std::vector<Span>& touched) {
    for (const CoverageRun& run : coverage.runs) {
        // Coverage worked out for another size of image paints nothing outside this one.
        if (run.y < 0 || run.y >= rows.height || run.x0 < 0 || run.x1 > rows.width) {
            continue;
        }
        std::uint32_t* row = Row(rows, run.y);
        const std::uint8_t* values = coverage.values.data() + run.first;
        BlendRow(row + run.x0, values, run.x1 - run.x0, rgb);
        touched.push_back({run.y, run.x0, run.x1});
    }
}

void FillSpans(const PixelRows& rows, const std::vector<Span>& spans, std::uint32_t rgb) {
    for (const Span& span : spans) {
        std::uint32_t* row = Row(rows, span.y);
        std::fill(row + span.x0, row + span.x1, rgb);
    }
}

void FillAll(const PixelRows& rows, std::uint32_t rgb) {
    for (int y = 0; y < rows.height; ++y) {
        std::uint32_t* row = Row(rows, y);
        std::fill(row, row + rows.width, rgb);
    }
}

}  // namespace platform
