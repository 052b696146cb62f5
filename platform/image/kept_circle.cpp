#include "platform/image/kept_circle.h"

#include <algorithm>

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

void KeptCircle::Touch(const Span& span, const PixelRows& rows, bool reset, XrgbColour background) {
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

void KeptCircle::BlendTouched(const RowKernels& kernels, const PixelRows& rows, XrgbColour colour,
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

void KeptCircle::ClearUntouched(const RowKernels& kernels, const PixelRows& rows, XrgbColour background,
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

void KeptCircle::AppendRuns(std::vector<Span>& spans) const {
    for (const CoverageRun& run : coverage_.runs) {
        spans.push_back({run.y, run.x0, run.x1});
    }
}

}  // namespace platform
