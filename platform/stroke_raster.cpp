#include "platform/stroke_raster.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace platform {
namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// Beyond the stroke's half width, coverage fades out over half a pixel on
// either side of the edge.
constexpr double kFeather = 0.5;

std::uint32_t* Row(const PixelRows& rows, int y) {
    return reinterpret_cast<std::uint32_t*>(rows.data + static_cast<std::ptrdiff_t>(y) * rows.stride);
}

// Source over destination for a coverage in [0, 1]; red and blue are
// blended together in one word, green beside them.
std::uint32_t Over(std::uint32_t destination, std::uint32_t source, double coverage) {
    const auto alpha = static_cast<std::uint32_t>(std::lround(coverage * 256.0));
    const std::uint32_t keep = 256 - alpha;
    const std::uint32_t redBlue = ((destination & 0xFF00FFU) * keep + (source & 0xFF00FFU) * alpha) >> 8;
    const std::uint32_t green = ((destination & 0x00FF00U) * keep + (source & 0x00FF00U) * alpha) >> 8;
    return (redBlue & 0xFF00FFU) | (green & 0x00FF00U);
}

double Coverage(double distance, double halfWidth) { return std::clamp(halfWidth + kFeather - distance, 0.0, 1.0); }

// Pixel columns whose centres lie in [left, right], clipped to the image.
// The ends are clamped before they become integers (they may be infinite
// for an empty run), which also lets a truncation stand in for the slower
// floor and ceil.
std::pair<int, int> Columns(const PixelRows& rows, double left, double right) {
    const double lowest = -1;
    const auto highest = static_cast<double>(rows.width) + 1;
    const double from = std::clamp(left - 0.5, lowest, highest);
    const double to = std::clamp(right - 0.5, lowest, highest);
    int x0 = static_cast<int>(from);
    x0 += (x0 < from) ? 1 : 0;  // ceil
    int last = static_cast<int>(to);
    last -= (last > to) ? 1 : 0;  // floor
    return {std::max(0, x0), std::min(rows.width, last + 1)};
}

// A row's run of pixel centres: [left, right] may be touched by the stroke,
// [solidLeft, solidRight] lies wholly inside it (empty when left > right).
struct Run {
    double left;
    double right;
    double solidLeft;
    double solidRight;
};

// Paints the run's pixels; DistanceAt gives a pixel centre's distance from
// the stroke's middle line. The solid part is filled without asking.
template <typename DistanceAt>
void PaintRun(const PixelRows& rows, int y, const Run& run, double halfWidth, std::uint32_t rgb,
              std::vector<Span>& touched, DistanceAt distanceAt) {
    const auto [x0, x1] = Columns(rows, run.left, run.right);
    if (x0 >= x1) {
        return;
    }
    auto [solid0, solid1] = Columns(rows, run.solidLeft, run.solidRight);
    solid0 = std::clamp(solid0, x0, x1);
    solid1 = std::clamp(solid1, solid0, x1);
    std::uint32_t* row = Row(rows, y);
    const auto blend = [&](int from, int to) {
        for (int x = from; x < to; ++x) {
            const double coverage = Coverage(distanceAt(x + 0.5), halfWidth);
            if (coverage > 0) {
                row[x] = coverage >= 1 ? rgb : Over(row[x], rgb, coverage);
            }
        }
    };
    blend(x0, solid0);
    std::fill(row + solid0, row + solid1, rgb);
    blend(solid1, x1);
    touched.push_back({y, x0, x1});
}

}  // namespace

void StrokeSegment(const PixelRows& rows, double x1, double y1, double x2, double y2, double width, std::uint32_t rgb,
                   std::vector<Span>& touched) {
    const double halfWidth = width / 2;
    const double reach = halfWidth + kFeather;
    const double dx = x2 - x1;
    const double dy = y2 - y1;
    const double lengthSquared = dx * dx + dy * dy;
    const double inverseLength = lengthSquared > 0 ? 1 / std::sqrt(lengthSquared) : 0;
    const double inverseLengthSquared = inverseLength * inverseLength;
    // Between the ends the distance is the one across the line, linear in
    // x along a row; only beyond the ends does it need a square root.
    const auto distanceOnRow = [&](double py) {
        return [=](double px) {
            const double t = ((px - x1) * dx + (py - y1) * dy) * inverseLengthSquared;
            if (t > 0 && t < 1) {
                return std::abs(((px - x1) * dy - (py - y1) * dx) * inverseLength);
            }
            const double ex = t <= 0 ? x1 : x2;
            const double ey = t <= 0 ? y1 : y2;
            return std::sqrt((px - ex) * (px - ex) + (py - ey) * (py - ey));
        };
    };
    // What every row's run needs, worked out once for the segment.
    const bool steep = std::abs(dy) > 1e-12;
    const bool slanted = std::abs(dx) > 1e-12;
    const double dxPerDy = steep ? dx / dy : 0;
    const double dyPerDx = slanted ? dy / dx : 0;
    const double halfRun = steep ? reach * std::sqrt(lengthSquared) / std::abs(dy) : 0;
    // Pixels closer to the middle line than this are wholly covered.
    const double solidReach = halfWidth - kFeather;
    const double solidHalfRun = steep && solidReach > 0 ? solidReach * std::sqrt(lengthSquared) / std::abs(dy) : -1;
    const int top = std::max(0, static_cast<int>(std::floor(std::min(y1, y2) - reach)));
    const int bottom = std::min(rows.height - 1, static_cast<int>(std::ceil(std::max(y1, y2) + reach)));
    for (int y = top; y <= bottom; ++y) {
        // The row's pixel centres within reach of the segment form one run
        // (the stroke is convex): the union of the two end discs and the band
        // between them.
        const double py = y + 0.5;
        double left = kInfinity;
        double right = -kInfinity;
        double solidLeft = kInfinity;
        double solidRight = -kInfinity;
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
            double endsLeft = -kInfinity;
            double endsRight = kInfinity;
            if (slanted) {
                const double atStart = x1 - (py - y1) * dyPerDx;
                const double atEnd = x2 - (py - y2) * dyPerDx;
                endsLeft = std::min(atStart, atEnd);
                endsRight = std::max(atStart, atEnd);
            } else if (py < std::min(y1, y2) || py > std::max(y1, y2)) {
                endsLeft = kInfinity;
            }
            bandLeft = std::max(bandLeft, endsLeft);
            bandRight = std::min(bandRight, endsRight);
            if (solidHalfRun >= 0) {
                solidLeft = std::max(crossing - solidHalfRun, endsLeft);
                solidRight = std::min(crossing + solidHalfRun, endsRight);
            }
            if (bandLeft <= bandRight) {
                left = std::min(left, bandLeft);
                right = std::max(right, bandRight);
            }
        } else if (std::abs(py - y1) <= reach) {
            left = std::min(left, std::min(x1, x2));
            right = std::max(right, std::max(x1, x2));
        }
        if (left <= right) {
            PaintRun(rows, y, {left, right, solidLeft, solidRight}, halfWidth, rgb, touched, distanceOnRow(py));
        }
    }
}

void StrokeCircle(const PixelRows& rows, double cx, double cy, double radius, double width, std::uint32_t rgb,
                  std::vector<Span>& touched) {
    const double halfWidth = width / 2;
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
    const int bottom = std::min(rows.height - 1, static_cast<int>(std::ceil(cy + outer)));
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
            PaintRun(rows, y, leftRun, halfWidth, rgb, touched, distance);
            PaintRun(rows, y, rightRun, halfWidth, rgb, touched, distance);
        } else {
            // Near the top or bottom one run spans the ring; its solid part
            // is found from the outside in, and it may have a gap in the
            // middle, so only a solid part that has no gap is taken.
            const Run run{cx - outerHalf, cx + outerHalf, cx - solidOuterHalf,
                          solidInnerHalf < 0 ? cx + solidOuterHalf : cx - solidOuterHalf - 1};
            PaintRun(rows, y, run, halfWidth, rgb, touched, distance);
        }
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
