#pragma once

// The strokes: antialiased, round-capped segments and circles painted
// straight into rows of 32-bit pixels. Knows nothing of images, forms or
// windows; the persistent image calls it.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/raster/pixel_rows.h"
#include "platform/raster/xrgb_colour.h"

namespace platform {

// How much of each pixel a stroke covers, row by row: runs of pixels and,
// for each pixel of a run, its coverage from 0 (none) to 255 (whole). Kept
// apart from painting it, so that a stroke drawn again and again at the same
// place is worked out once.
struct CoverageRun {
    int y = 0;
    int x0 = 0;
    int x1 = 0;
    std::size_t first = 0;  // index of pixel x0's coverage in Coverage::values
};

struct Coverage {
    std::vector<CoverageRun> runs;
    std::vector<std::uint8_t> values;
};

// Antialiased strokes with round ends, clipped to the image. Points are in
// pixel-corner coordinates: the centre of pixel (i, j) is at (i + 0.5,
// j + 0.5). A pixel's coverage falls from whole to none over the pixel
// around the stroke's edge.
//
// A segment is composited in the colour straight onto the pixels; every run
// of pixels painted is added to `touched`, so that the caller can undo
// exactly what was drawn. A circle's coverage is added to `coverage`, to be
// painted as often as the same circle is drawn.
void PaintSegment(const PixelRows& rows, double x1, double y1, double x2, double y2, double strokeWidth,
                  XrgbColour colour, std::vector<Span>& touched);
void CoverCircle(int width, int height, double cx, double cy, double radius, double strokeWidth, Coverage& coverage);

// Composites the colour over the pixels as far as the coverage goes. Every
// run of pixels painted is added to `touched`, so that the caller can undo
// exactly what was drawn.
void PaintCoverage(const PixelRows& rows, const Coverage& coverage, XrgbColour colour, std::vector<Span>& touched);

// Sets the pixels of the spans, or of every row, to one value.
void FillSpans(const PixelRows& rows, const std::vector<Span>& spans, XrgbColour colour);
void FillAll(const PixelRows& rows, XrgbColour colour);

}  // namespace platform
