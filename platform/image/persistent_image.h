#pragma once

// The persistent image: the pixels a form draws into and a window shows,
// with what changed since they were last shown. Every kind of form shares
// it; it knows the strokes (platform/raster/) and nothing of forms or windows.

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/image/changed_tiles.h"
#include "platform/image/pixel_memory.h"
#include "platform/raster/stroke_raster.h"

namespace platform {

// The persistent image of a client area (AutoRedraw): what Cls, Line and
// Circle draw into and what the window shows. Pixels are 32-bit xRGB
// (0x00RRGGBB) in rows of four bytes a pixel, the layout of an X11 or SDL
// 24-bit surface and of a top-down Windows DIB.
//
// The image remembers every run of pixels drawn since it was last cleared,
// so that clearing it again to the same colour touches only those, and which
// tiles changed since it was last shown, so that showing it sends only those.
class PersistentImage {
public:
    PersistentImage() = default;

    // Keeps what fits of the old picture; the rest is the background.
    void Resize(int width, int height, XrgbColour background);

    void Clear(XrgbColour background);
    void Line(float x1, float y1, float x2, float y2, XrgbColour colour, int width);
    void Circle(float x, float y, float radius, XrgbColour colour, int width);

    [[nodiscard]] int Width() const { return width_; }
    [[nodiscard]] int Height() const { return height_; }
    [[nodiscard]] int Stride() const { return width_ * static_cast<int>(sizeof(std::uint32_t)); }
    // Null while the image is empty.
    [[nodiscard]] const std::uint8_t* Pixels() const { return pixels_.Data(); }
    [[nodiscard]] std::uint32_t PixelAt(int x, int y) const;
    // The pixels as rows, for copying them out; empty while the image is.
    [[nodiscard]] PixelRows Rows() const;

    // The parts changed since the last call; all of it after a resize.
    [[nodiscard]] std::vector<PixelRect> TakeChanges() { return changed_.Take(); }

private:
    void MarkDrawn(std::size_t firstNewSpan);

    // A circle's coverage, kept for as long as the same circle is drawn again.
    struct CircleCoverage {
        double x = 0;
        double y = 0;
        double radius = -1;
        int strokeWidth = 0;
        int imageWidth = 0;
        int imageHeight = 0;
        Coverage coverage;
    };

    int width_ = 0;
    int height_ = 0;
    PixelMemory pixels_;
    // Outside drawn_, every pixel is this value; unknown after a resize.
    std::optional<XrgbColour> clearedTo_;
    std::vector<Span> drawn_;
    ChangedTiles changed_;
    CircleCoverage circle_;
};

}  // namespace platform
