#pragma once

#include <cairo.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/changed_tiles.h"
#include "platform/form.h"
#include "platform/pixel_memory.h"
#include "platform/stroke_raster.h"

namespace platform {

// The persistent image of a client area (AutoRedraw): what Cls, Line and
// Circle draw into and what the window shows. Pixels are 32-bit xRGB, the
// layout of cairo's RGB24 and of SDL's RGB888; cairo holds them and writes
// the PNG, the strokes are our own (platform/stroke_raster.h).
//
// The image remembers every run of pixels drawn since it was last cleared,
// so that clearing it again to the same colour touches only those, and which
// tiles changed since it was last shown, so that showing it sends only those.
class PersistentImage {
public:
    PersistentImage() = default;

    // Keeps what fits of the old picture; the rest is BackColor.
    void Resize(int width, int height, Colour background);

    void Clear(Colour background);
    void Line(float x1, float y1, float x2, float y2, Colour colour, int width);
    void Circle(float x, float y, float radius, Colour colour, int width);

    [[nodiscard]] int Width() const { return width_; }
    [[nodiscard]] int Height() const { return height_; }
    [[nodiscard]] int Stride() const;
    // Null while the image is empty.
    [[nodiscard]] const std::uint8_t* Pixels() const;
    [[nodiscard]] std::uint32_t PixelAt(int x, int y) const;
    // The pixels as rows, for copying them out; empty while the image is.
    [[nodiscard]] PixelRows Rows() const;

    // The parts changed since the last call; all of it after a resize or
    // after MarkAllChanged.
    [[nodiscard]] std::vector<PixelRect> TakeChanges() { return changed_.Take(); }
    void MarkAllChanged() { changed_.MarkAll(); }

    // The picture as a PNG file's bytes.
    [[nodiscard]] std::string EncodePng() const;

private:
    struct SurfaceDeleter {
        void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
    };
    struct ContextDeleter {
        void operator()(cairo_t* context) const { cairo_destroy(context); }
    };

    void MarkDrawn(std::size_t firstNewSpan);
    void Check(const char* what) const;

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
    std::unique_ptr<cairo_surface_t, SurfaceDeleter> surface_;
    std::unique_ptr<cairo_t, ContextDeleter> context_;
    // Outside drawn_, every pixel is this value; unknown after a resize.
    std::optional<std::uint32_t> clearedTo_;
    std::vector<Span> drawn_;
    ChangedTiles changed_;
    CircleCoverage circle_;
};

}  // namespace platform
