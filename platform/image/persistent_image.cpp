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

void PersistentImage::Resize(int width, int height, XrgbColour background) {
    if (width == width_ && height == height_) {
        return;
    }
    if (width < 0 || height < 0) {
        throw RunTimeError("cannot size the window's image", "negative size");
    }
    // The old rows stay readable until the kept part is copied out of them.
    const PixelRows oldRows = Rows();
    const PixelMemory oldPixels = std::move(pixels_);
    width_ = width;
    height_ = height;
    changed_.Reset(width, height);
    drawn_.clear();
    clearedTo_.reset();
    if (width == 0 || height == 0) {
        return;
    }
    // Zeroed memory is a black picture already.
    pixels_ = PixelMemory(static_cast<std::size_t>(Stride()) * static_cast<std::size_t>(height));
    if (background != XrgbColour{}) {
        FillAll(Rows(), background);
    }
    clearedTo_ = background;
    if (oldRows.data != nullptr) {
        CopyOverlap(oldRows, Rows());
        // What was kept counts as drawn, so that the next clear covers it.
        const int keptWidth = std::min(oldRows.width, width);
        for (int y = 0; y < std::min(oldRows.height, height); ++y) {
            drawn_.push_back({y, 0, keptWidth});
        }
        changed_.Mark(drawn_);
    }
}

void PersistentImage::Clear(XrgbColour background) {
    if (pixels_.Data() == nullptr) {
        return;
    }
    if (clearedTo_ == background) {
        FillSpans(Rows(), drawn_, background);
    } else {
        FillAll(Rows(), background);
        changed_.MarkAll();
    }
    changed_.MarkCleared();
    clearedTo_ = background;
    drawn_.clear();
}

void PersistentImage::Line(float x1, float y1, float x2, float y2, XrgbColour colour, int width) {
    if (pixels_.Data() == nullptr) {
        return;
    }
    const std::size_t first = drawn_.size();
    PaintSegment(Rows(), x1 + kPixelCentre, y1 + kPixelCentre, x2 + kPixelCentre, y2 + kPixelCentre, width, colour,
                 drawn_);
    MarkDrawn(first);
}

void PersistentImage::Circle(float x, float y, float radius, XrgbColour colour, int width) {
    if (pixels_.Data() == nullptr) {
        return;
    }
    const double cx = x + kPixelCentre;
    const double cy = y + kPixelCentre;
    // The program draws the same circle every frame until the window changes size.
    if (circle_.x != cx || circle_.y != cy || circle_.radius != radius || circle_.strokeWidth != width ||
        circle_.imageWidth != width_ || circle_.imageHeight != height_) {
        circle_ = {cx, cy, radius, width, width_, height_, {}};
        CoverCircle(width_, height_, cx, cy, radius, width, circle_.coverage);
    }
    const std::size_t first = drawn_.size();
    PaintCoverage(Rows(), circle_.coverage, colour, drawn_);
    MarkDrawn(first);
}

PixelRows PersistentImage::Rows() const {
    if (pixels_.Data() == nullptr) {
        return {};
    }
    return {pixels_.Data(), width_, height_, Stride()};
}

// Notes the runs from firstNewSpan on as changed.
void PersistentImage::MarkDrawn(std::size_t firstNewSpan) { changed_.Mark(std::span(drawn_).subspan(firstNewSpan)); }

std::uint32_t PersistentImage::PixelAt(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        throw std::out_of_range("pixel outside the image");
    }
    return Rows().Row(y)[x] & 0x00FFFFFFU;
}

}  // namespace platform
