#include "platform/image/persistent_image.h"

#include <algorithm>
#include <cstring>
#include <span>
#include <stdexcept>

#include "platform/run_time_error.h"

namespace platform {
namespace {

// Points name pixels; the strokes' coordinates name their corners. A point
// at pixel (x, y) is the centre of that pixel.
constexpr double kPixelCentre = 0.5;

// Copies the part the two pictures have in common, row by row.
void CopyOverlap(const PixelRows& from, const PixelRows& to) {
    const int width = std::min(from.width, to.width);
    const auto bytes = static_cast<std::size_t>(width) * sizeof(std::uint32_t);
    for (int y = 0; y < std::min(from.height, to.height); ++y) {
        std::memcpy(to.Row(y), from.Row(y), bytes);
    }
}

}  // namespace

void PersistentImage::Resize(int width, int height, PixelColour background) {
    if (width == width_ && height == height_) {
        return;
    }
    if (width < 0 || height < 0) {
        throw RunTimeError("cannot size the window's image", "negative size");
    }
    // What is kept is the picture as it stands.
    Settle();
    LetGoOfCircle();
    // The old rows stay readable until the kept part is copied out of them.
    const PixelRows oldRows = Memory();
    const PixelMemory oldPixels = std::move(pixels_);
    width_ = width;
    height_ = height;
    changed_.Reset(width, height);
    drawn_.clear();
    clearedTo_.reset();
    if (width == 0 || height == 0) {
        return;
    }
    // Zeroed memory is a black xRGB picture already.
    pixels_ = PixelMemory(static_cast<std::size_t>(Stride()) * static_cast<std::size_t>(height));
    if (background != PixelColour{} || !PixelMemory::Zeroed()) {
        FillAll(*kernels_, Memory(), background);
    }
    clearedTo_ = background;
    if (oldRows.data != nullptr) {
        CopyOverlap(oldRows, Memory());
        // What was kept counts as drawn, so that the next clear covers it.
        const int keptWidth = std::min(oldRows.width, width);
        for (int y = 0; y < std::min(oldRows.height, height); ++y) {
            drawn_.push_back({y, 0, keptWidth});
        }
        changed_.Mark(drawn_);
    }
}

void PersistentImage::Clear(PixelColour background) {
    if (pixels_.Data() == nullptr) {
        return;
    }
    if (clearedTo_ == background) {
        FillSpans(*kernels_, Memory(), drawn_, background);
        // The kept circle's pixels that were cleared hold it no more; the
        // others are owed the clear until the circle is drawn again.
        if (kept_) {
            for (const Span& span : screened_ ? nearCircle_ : drawn_) {
                circle_.Touch(span, Memory(), false, background);
            }
            owed_ = true;
        }
    } else {
        LetGoOfCircle();
        FillAll(*kernels_, Memory(), background);
        changed_.MarkAll();
    }
    changed_.MarkCleared();
    clearedTo_ = background;
    drawn_.clear();
    nearCircle_.clear();
    screened_ = true;
}

void PersistentImage::Line(float x1, float y1, float x2, float y2, PixelColour colour, int width) {
    if (pixels_.Data() == nullptr) {
        return;
    }
    const double sx = x1 + kPixelCentre;
    const double sy = y1 + kPixelCentre;
    const double ex = x2 + kPixelCentre;
    const double ey = y2 + kPixelCentre;
    PlanSegment(*kernels_, width_, height_, sx, sy, ex, ey, width, segment_);
    const std::size_t first = drawn_.size();
    const std::span<const SegmentRow> rows = segment_.Rows();
    drawn_.resize(first + rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        drawn_[first + i] = {rows[i].y, rows[i].from, rows[i].to};
    }
    // The runs that may meet the kept circle: for the next clear, and,
    // where its pixels are still owed the clear, they get it before the
    // stroke is drawn over them.
    if (kept_) {
        KeptCircle::RowRanges near{};
        const int ranges = circle_.RowsNear(sx, sy, ex, ey, width / 2.0 + 0.5, near);
        // The rows come top to bottom, one a row, the near ones together.
        const std::span spans = std::span(drawn_).subspan(first);
        const auto below = [](const Span& span, int y) { return span.y < y; };
        for (int range = 0; range < ranges; ++range) {
            const auto [top, bottom] = near.at(static_cast<std::size_t>(range));
            const auto end = std::lower_bound(spans.begin(), spans.end(), bottom + 1, below);
            for (auto span = std::lower_bound(spans.begin(), spans.end(), top, below); span != end; ++span) {
                nearCircle_.push_back(*span);
                if (owed_) {
                    circle_.Touch(*span, Memory(), true, kept_->background);
                }
            }
        }
    } else {
        screened_ = false;
    }
    PaintSegment(*kernels_, Memory(), segment_, colour);
    changed_.MarkConvex(std::span(drawn_).subspan(first));
}

void PersistentImage::Circle(float x, float y, float radius, PixelColour colour, int width) {
    if (pixels_.Data() == nullptr) {
        return;
    }
    const KeptCircle::Shape shape{x + kPixelCentre, y + kPixelCentre, radius, width, width_, height_};
    // The program draws the same circle every frame until the window
    // changes size: where it is kept and owed only the clear, only what was
    // touched since is drawn again.
    if (shape == circle_.ShapeOf() && kept_ && owed_ && kept_->colour == colour) {
        changedRuns_.clear();
        circle_.BlendTouched(*kernels_, Memory(), colour, changedRuns_);
        changed_.Mark(changedRuns_);
        owed_ = false;
        return;
    }
    LetGoOfCircle();
    if (shape != circle_.ShapeOf()) {
        circle_.Cover(shape);
    }
    changedRuns_.clear();
    PaintCoverage(*kernels_, Memory(), circle_.CoverageOf(), colour, changedRuns_);
    changed_.Mark(changedRuns_);
    // Drawn over the background (or over what the next clear clears), the
    // circle can be kept; drawn over what nothing will clear, it counts as
    // drawn like any stroke.
    if (clearedTo_) {
        kept_ = KeptCircleColours{colour, *clearedTo_};
        // What was drawn since the clear was not looked at for this circle.
        screened_ = drawn_.empty();
        nearCircle_.clear();
    } else {
        drawn_.insert(drawn_.end(), changedRuns_.begin(), changedRuns_.end());
    }
}

// Before the picture is read: the kept circle's pixels owed a clear get it.
void PersistentImage::Settle() const {
    if (owed_) {
        LetGoOfCircle();
    }
}

// The kept circle is kept no more: owed the clear, its pixels get it; else
// they stand, drawn like any stroke, for the next clear to clear.
void PersistentImage::LetGoOfCircle() const {
    if (!kept_) {
        return;
    }
    if (owed_) {
        changedRuns_.clear();
        circle_.ClearUntouched(*kernels_, Memory(), kept_->background, changedRuns_);
        changed_.Mark(changedRuns_);
    } else {
        // Counted as drawn in the tiles too, so that the next clear reports them.
        const std::size_t first = drawn_.size();
        circle_.AppendRuns(drawn_);
        changed_.Mark(std::span(drawn_).subspan(first));
    }
    circle_.Forget();
    kept_.reset();
    owed_ = false;
    screened_ = false;
}

PixelRows PersistentImage::Memory() const {
    if (pixels_.Data() == nullptr) {
        return {};
    }
    return {pixels_.Data(), width_, height_, Stride()};
}

PixelRows PersistentImage::Rows() const {
    Settle();
    return Memory();
}

const std::uint8_t* PersistentImage::Pixels() const {
    Settle();
    return pixels_.Data();
}

std::vector<PixelRect> PersistentImage::TakeChanges() {
    Settle();
    return changed_.Take();
}

std::uint32_t PersistentImage::PixelAt(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        throw std::out_of_range("pixel outside the image");
    }
    return Rows().Row(y)[x] & 0x00FFFFFFU;
}

}  // namespace platform
