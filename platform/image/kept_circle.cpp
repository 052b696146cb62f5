#include "platform/image/kept_circle.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace platform {

void KeptCircle::Cover(const Shape& shape) {
    shape_ = shape;
    coverage_ = {};
    CoverCircle(shape.imageWidth, shape.imageHeight, shape.x, shape.y, shape.radius, shape.strokeWidth, coverage_);
    // The runs come row by row, top to bottom.
    const auto& runs = coverage_.runs;
    top_ = runs.empty() ? 0 : runs.front().y;
    const int rows = runs.empty() ? 0 : runs.back().y - top_ + 1;
    firstRun_.assign(static_cast<std::size_t>(rows) + 1, 0);
    for (const CoverageRun& run : runs) {
        ++firstRun_[static_cast<std::size_t>(run.y - top_) + 1];
    }
    for (std::size_t row = 1; row < firstRun_.size(); ++row) {
        firstRun_[row] += firstRun_[row - 1];
    }
    touched_.assign(coverage_.values.size(), 0);
    runTouched_.assign(runs.size(), 0);
    touchedRuns_.clear();
}

void KeptCircle::Forget() {
    for (const std::uint32_t index : touchedRuns_) {
        const CoverageRun& run = coverage_.runs[index];
        std::fill_n(touched_.begin() + static_cast<std::ptrdiff_t>(run.first), run.x1 - run.x0, std::uint8_t{0});
        runTouched_[index] = 0;
    }
    touchedRuns_.clear();
}

void KeptCircle::Touch(const Span& span, const PixelRows& rows, bool reset, PixelColour background) {
    const int row = span.y - top_;
    if (row < 0 || row + 1 >= static_cast<int>(firstRun_.size())) {
        return;
    }
    for (std::uint32_t index = firstRun_[static_cast<std::size_t>(row)];
         index < firstRun_[static_cast<std::size_t>(row) + 1]; ++index) {
        const CoverageRun& run = coverage_.runs[index];
        const int from = std::max(span.x0, run.x0);
        const int to = std::min(span.x1, run.x1);
        if (from >= to) {
            continue;
        }
        std::uint8_t* touched = touched_.data() + run.first - run.x0;  // indexed by column
        std::uint32_t* pixels = rows.Row(run.y);
        for (int x = from; x < to; ++x) {
            if (touched[x] == 0) {
                if (reset) {
                    pixels[x] = background.Value();
                }
                touched[x] = 1;
            }
        }
        if (runTouched_[index] == 0) {
            runTouched_[index] = 1;
            touchedRuns_.push_back(index);
        }
    }
}

void KeptCircle::BlendTouched(const RowKernels& kernels, const PixelRows& rows, PixelColour colour,
                              std::vector<Span>& changed) {
    for (const std::uint32_t index : touchedRuns_) {
        const CoverageRun& run = coverage_.runs[index];
        const auto count = static_cast<std::size_t>(run.x1 - run.x0);
        // An untouched pixel takes no coverage, and so keeps what it holds.
        scratch_.resize(count);
        std::uint8_t* touched = touched_.data() + run.first;
        const std::uint8_t* values = coverage_.values.data() + run.first;
        for (std::size_t i = 0; i < count; ++i) {
            scratch_[i] = touched[i] != 0 ? values[i] : 0;
            touched[i] = 0;
        }
        kernels.blendRow(rows.Row(run.y) + run.x0, scratch_.data(), static_cast<int>(count), colour);
        changed.push_back({run.y, run.x0, run.x1});
        runTouched_[index] = 0;
    }
    touchedRuns_.clear();
}

void KeptCircle::ClearUntouched(const RowKernels& kernels, const PixelRows& rows, PixelColour background,
                                std::vector<Span>& changed) const {
    for (std::size_t index = 0; index < coverage_.runs.size(); ++index) {
        const CoverageRun& run = coverage_.runs[index];
        std::uint32_t* pixels = rows.Row(run.y) + run.x0;
        if (runTouched_[index] == 0) {
            kernels.fillRow(pixels, run.x1 - run.x0, background);
        } else {
            const std::uint8_t* touched = touched_.data() + run.first;
            for (int i = 0; i < run.x1 - run.x0; ++i) {
                pixels[i] = touched[i] != 0 ? pixels[i] : background.Value();
            }
        }
        changed.push_back({run.y, run.x0, run.x1});
    }
}

// Where along the segment its point lies within a distance of the centre:
// the t in [t0, t1] of P1 + t (P2 - P1), where a t^2 + b t + c <= r^2.
namespace {

bool Within(double a, double b, double c, double r, double& t0, double& t1) {
    if (a <= 0) {
        t0 = -std::numeric_limits<double>::infinity();
        t1 = std::numeric_limits<double>::infinity();
        return c <= r * r;
    }
    const double discriminant = b * b - 4 * a * (c - r * r);
    if (discriminant < 0) {
        return false;
    }
    const double root = std::sqrt(discriminant);
    t0 = (-b - root) / (2 * a);
    t1 = (-b + root) / (2 * a);
    return true;
}

}  // namespace

int KeptCircle::RowsNear(double x1, double y1, double x2, double y2, double reach, RowRanges& ranges) const {
    // Both the stroke's runs and the circle's are widened to whole fours,
    // and pixels are named by their corners: a few pixels more cover both.
    constexpr double kSlack = 8;
    const double ring = shape_.strokeWidth / 2.0 + 0.5;
    const double inner = std::max(0.0, shape_.radius - ring - reach - kSlack);
    const double outer = shape_.radius + ring + reach + kSlack;
    const double dx = x2 - x1;
    const double dy = y2 - y1;
    const double ex = x1 - shape_.x;
    const double ey = y1 - shape_.y;
    const double a = dx * dx + dy * dy;
    const double b = 2 * (dx * ex + dy * ey);
    const double c = ex * ex + ey * ey;
    double from = 0;
    double to = 0;
    if (!Within(a, b, c, outer, from, to) || std::max(from, 0.0) > std::min(to, 1.0)) {
        return 0;
    }
    from = std::max(from, 0.0);
    to = std::min(to, 1.0);
    // What lies nearer the centre than the ring's inside is out.
    std::array<std::pair<double, double>, 2> along{{{from, to}, {1, 0}}};
    double hole0 = 0;
    double hole1 = 0;
    if (inner > 0 && Within(a, b, c, inner, hole0, hole1) && hole0 < to && hole1 > from) {
        along = {{{from, hole0}, {hole1, to}}};
    }
    int count = 0;
    for (const auto& [u, v] : along) {
        if (u > v) {
            continue;
        }
        const double yu = y1 + u * dy;
        const double yv = y1 + v * dy;
        ranges.at(static_cast<std::size_t>(count++)) = {static_cast<int>(std::floor(std::min(yu, yv) - reach - kSlack)),
                                                        static_cast<int>(std::ceil(std::max(yu, yv) + reach + kSlack))};
    }
    return count;
}

void KeptCircle::AppendRuns(std::vector<Span>& spans) const {
    for (const CoverageRun& run : coverage_.runs) {
        spans.push_back({run.y, run.x0, run.x1});
    }
}

}  // namespace platform
