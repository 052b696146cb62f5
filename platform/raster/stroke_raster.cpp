#include "platform/raster/stroke_raster.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "platform/raster/capsule_coverage.h"
#include "platform/raster/coverage_steps.h"
#include "platform/raster/run_columns.h"

namespace platform {
namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// Beyond the stroke's half width, coverage fades out over half a pixel on
// either side of the edge.
constexpr double kFeather = 0.5;

constexpr std::uint8_t kWhole = 255;

// A pixel's coverage from its centre's distance to the stroke's middle line.
std::uint8_t CoverageAt(double distance, double halfWidth) {
    const double fraction = std::clamp(halfWidth + kFeather - distance, 0.0, 1.0);
    return CoverageSteps(fraction);
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
// the stroke's middle line. The solid part is whole without asking. The run
// is stored in whole fours where the row has room; the pixels added to it
// have no coverage, even where the ring's other run covers them.
template <typename DistanceAt>
void CoverRun(int width, int y, const Run& run, double halfWidth, Coverage& coverage, DistanceAt distanceAt) {
    const auto [x0, x1] = Columns(width, run.left, run.right);
    if (x0 >= x1) {
        return;
    }
    const auto [padded0, padded1] = InFours(width, {x0, x1});
    auto [solid0, solid1] = Columns(width, run.solidLeft, run.solidRight);
    solid0 = std::clamp(solid0, x0, x1);
    solid1 = std::clamp(solid1, solid0, x1);
    const std::size_t first = coverage.values.size();
    coverage.values.resize(first + static_cast<std::size_t>(padded1 - padded0), 0);
    std::uint8_t* values = coverage.values.data() + first - padded0;  // indexed by column
    const auto cover = [&](int from, int to) {
        for (int x = from; x < to; ++x) {
            values[x] = CoverageAt(distanceAt(x + 0.5), halfWidth);
        }
    };
    cover(x0, solid0);
    std::fill(values + solid0, values + solid1, kWhole);
    cover(solid1, x1);
    coverage.runs.push_back({y, padded0, padded1, first});
}

}  // namespace

namespace {

// Plans the segment's rows; its middle rows with the kernels where given,
// every row the general way where not.
void Plan(const RowKernels* kernels, int width, int height, double x1, double y1, double x2, double y2,
          double strokeWidth, SegmentPlan& plan) {
    const double reach = strokeWidth / 2 + kFeather;
    const double dx = x2 - x1;
    const double dy = y2 - y1;
    const double lengthSquared = dx * dx + dy * dy;
    const double inverseLength = lengthSquared > 0 ? 1 / std::sqrt(lengthSquared) : 0;
    // What every row's run needs, worked out once for the segment.
    const bool steep = std::abs(dy) > 1e-12;
    const bool slanted = std::abs(dx) > 1e-12;
    const double dxPerDy = steep ? dx / dy : 0;
    const double dyPerDx = slanted ? dy / dx : 0;
    const double halfRun = steep ? reach * std::sqrt(lengthSquared) / std::abs(dy) : 0;
    const int top = std::max(0, static_cast<int>(std::floor(std::min(y1, y2) - reach)));
    const int bottom = std::min(height - 1, static_cast<int>(std::ceil(std::max(y1, y2) + reach)));
    CapsuleRow& capsule = plan.capsule;
    capsule.x1 = static_cast<float>(x1);
    capsule.y1 = static_cast<float>(y1);
    capsule.dx = static_cast<float>(dx);
    capsule.dy = static_cast<float>(dy);
    capsule.inverseLengthSquared = static_cast<float>(inverseLength * inverseLength);
    capsule.edge = static_cast<float>(reach);
    plan.bandStep = static_cast<float>(dy * inverseLength);
    const auto most = static_cast<std::size_t>(std::max(0, bottom - top + 1));
    if (plan.storage.size() < most) {
        plan.storage.resize(most);
    }
    SegmentRow* next = plan.storage.data();
    // The distance across the stroke at a run's first pixel, linear along the row.
    const auto acrossAt = [&](int from, double riseFromStart) {
        return static_cast<float>(((from + 0.5 - x1) * dy - riseFromStart * dx) * inverseLength);
    };
    const auto planRow = [&](int y) {
        // The row's pixel centres within reach of the segment form one run
        // (the stroke is convex): the union of the two end discs and the band
        // between them.
        const double py = y + 0.5;
        const double riseFromStart = py - y1;
        const double riseFromEnd = py - y2;
        double left = kInfinity;
        double right = -kInfinity;
        const auto addCap = [&](double ex, double rise) {
            if (std::abs(rise) <= reach) {
                const double half = std::sqrt(reach * reach - rise * rise);
                left = std::min(left, ex - half);
                right = std::max(right, ex + half);
            }
        };
        addCap(x1, riseFromStart);
        addCap(x2, riseFromEnd);
        // Between the two ends' perpendiculars, (p - e) . d = 0, the nearest
        // point of the segment is off its middle, not its ends.
        double between0 = -kInfinity;
        double between1 = kInfinity;
        if (slanted) {
            const double atStart = x1 - riseFromStart * dyPerDx;
            const double atEnd = x2 - riseFromEnd * dyPerDx;
            between0 = std::min(atStart, atEnd);
            between1 = std::max(atStart, atEnd);
        } else if (riseFromStart * riseFromEnd > 0) {
            between0 = kInfinity;  // an upright segment, and the row above or below it
        }
        // Where the row crosses the band: the centre line's crossing,
        // widened by the band's horizontal half width.
        const double crossing = x1 + riseFromStart * dxPerDy;
        const double bandLeft = steep ? std::max(crossing - halfRun, between0) : between0;
        const double bandRight = steep ? std::min(crossing + halfRun, between1) : between1;
        if (bandLeft <= bandRight && (steep || std::abs(riseFromStart) <= reach)) {
            left = std::min(left, bandLeft);
            right = std::max(right, bandRight);
        }
        // Outside the run the stroke covers nothing, so the pixels added
        // to make whole fours blend to what they were.
        const auto [from, to] = InFours(width, Columns(width, left, right));
        if (from >= to) {
            return;
        }
        if (from + 0.5 >= between0 && to - 0.5 <= between1) {
            // The whole run sees only the band: its distance is linear along the row.
            *next++ = {y, from, to, true, acrossAt(from, riseFromStart)};
        } else {
            *next++ = {y, from, to, false, 0};
        }
    };
    // Rows far enough from both ends that neither end's disc reaches them,
    // nor the perpendiculars at the ends come within a few pixels of their
    // run (whole fours may widen it by three): there the run is the band's
    // alone, as the general rows would find it, with less to work out. The
    // perpendiculars meet a row |k| (py - y) away from the centre line's
    // crossing, y being either end's.
    int middleTop = bottom + 1;
    int middleBottom = bottom;
    if (steep && kernels != nullptr) {
        constexpr double kClear = 6;
        const double k = slanted ? std::abs(dxPerDy + dyPerDx) : kInfinity;
        const double margin = std::max(reach, (halfRun + kClear) / k) + 1;
        middleTop = std::max(top, static_cast<int>(std::ceil(std::min(y1, y2) + margin - 0.5)));
        middleBottom = std::min(bottom, static_cast<int>(std::floor(std::max(y1, y2) - margin - 0.5)));
    }
    int y = top;
    for (; y < std::min(middleTop, bottom + 1); ++y) {
        planRow(y);
    }
    if (y <= middleBottom) {
        const MiddleRows middle{y, middleBottom, width, x1, y1, dx, dy, dxPerDy, halfRun, inverseLength};
        next += kernels->planMiddleRows(middle, next);
        y = middleBottom + 1;
    }
    for (; y <= bottom; ++y) {
        planRow(y);
    }
    plan.count = static_cast<std::size_t>(next - plan.storage.data());
}

}  // namespace

void PlanSegment(const RowKernels& kernels, int width, int height, double x1, double y1, double x2, double y2,
                 double strokeWidth, SegmentPlan& plan) {
    Plan(&kernels, width, height, x1, y1, x2, y2, strokeWidth, plan);
}

void PlanSegmentRowByRow(int width, int height, double x1, double y1, double x2, double y2, double strokeWidth,
                         SegmentPlan& plan) {
    Plan(nullptr, width, height, x1, y1, x2, y2, strokeWidth, plan);
}

void PaintSegment(const RowKernels& kernels, const PixelRows& rows, const SegmentPlan& plan, PixelColour colour) {
    const std::span<const SegmentRow> planned = plan.Rows();
    kernels.paintBandRows(rows.data, rows.stride, planned.data(), static_cast<int>(planned.size()), plan.bandStep,
                          plan.capsule.edge, colour);
    // The rows near the ends, a few.
    CapsuleRow capsule = plan.capsule;
    for (const SegmentRow& row : planned) {
        if (!row.band) {
            capsule.py = static_cast<float>(row.y + 0.5);
            kernels.paintCapsuleRow(capsule, row.from, row.to - row.from, colour, rows.Row(row.y) + row.from);
        }
    }
}

void CoverCircle(int width, int height, double cx, double cy, double radius, double strokeWidth, Coverage& coverage) {
    const double halfWidth = strokeWidth / 2;
    const double outer = radius + halfWidth + kFeather;
    const double inner = radius - halfWidth - kFeather;
    // Between these two radii every pixel is wholly covered.
    const double solidOuter = radius + halfWidth - kFeather;
    const double solidInner = std::max(0.0, radius - halfWidth + kFeather);
    // The exact distance from the ring: its coverage is worked out once for
    // as long as the same circle is drawn, so the square root costs nothing
    // that shows.
    const auto distanceOnRow = [&](double py) {
        const double riseSquared = (py - cy) * (py - cy);
        return [=](double px) { return std::abs(std::sqrt((px - cx) * (px - cx) + riseSquared) - radius); };
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

void PaintCoverage(const RowKernels& kernels, const PixelRows& rows, const Coverage& coverage, PixelColour colour,
                   std::vector<Span>& touched) {
    for (const CoverageRun& run : coverage.runs) {
        // Coverage worked out for another size of image paints nothing outside this one.
        if (run.y < 0 || run.y >= rows.height || run.x0 < 0 || run.x1 > rows.width) {
            continue;
        }
        std::uint32_t* row = rows.Row(run.y);
        const std::uint8_t* values = coverage.values.data() + run.first;
        kernels.blendRow(row + run.x0, values, run.x1 - run.x0, colour);
        touched.push_back({run.y, run.x0, run.x1});
    }
}

void FillSpans(const RowKernels& kernels, const PixelRows& rows, const std::vector<Span>& spans, PixelColour colour) {
    kernels.fillSpans(rows.data, rows.stride, spans.data(), static_cast<int>(spans.size()), colour);
}

void FillAll(const RowKernels& kernels, const PixelRows& rows, PixelColour colour) {
    for (int y = 0; y < rows.height; ++y) {
        kernels.fillRow(rows.Row(y), rows.width, colour);
    }
}

}  // namespace platform
