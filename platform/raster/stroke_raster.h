#pragma once

// The strokes: antialiased, round-capped segments and circles painted
// straight into rows of 32-bit pixels. Knows nothing of images, forms or
// windows; the persistent image calls it.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/raster/capsule_coverage.h"
#include "platform/raster/pixel_colour.h"
#include "platform/raster/pixel_rows.h"
#include "platform/raster/row_kernels.h"

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

// Antialiased strokes with round ends, clipped to the image, painted by the
// row kernels given (the same bits whichever they are). Points are in
// pixel-corner coordinates: the centre of pixel (i, j) is at (i + 0.5,
// j + 0.5). A pixel's coverage falls from whole to none over the pixel
// around the stroke's edge.
//
// A segment is planned, row by row (the run of pixels each row's stroke
// may touch, widened to whole fours where the row has room, and how its
// coverage is found there), then composited in the colour straight onto
// the pixels: so that the caller knows the runs, to undo exactly what was
// drawn, and may ready their pixels first. A circle's coverage is added to
// `coverage`, to be painted as often as the same circle is drawn.
struct SegmentPlan {
    CapsuleRow capsule;  // the segment, for the rows near its ends
    float bandStep = 0;  // the band's distance from one pixel to the next
    // The rows, kept between plans so that a plan only writes its own.
    std::vector<SegmentRow> storage;
    std::size_t count = 0;

    [[nodiscard]] std::span<const SegmentRow> Rows() const { return {storage.data(), count}; }
};

void PlanSegment(const RowKernels& kernels, int width, int height, double x1, double y1, double x2, double y2,
                 double strokeWidth, SegmentPlan& plan);
// The same plan, every row worked out the general way: the definition,
// which PlanSegment's shortcut for the middle rows matches.
void PlanSegmentRowByRow(int width, int height, double x1, double y1, double x2, double y2, double strokeWidth,
                         SegmentPlan& plan);
void PaintSegment(const RowKernels& kernels, const PixelRows& rows, const SegmentPlan& plan, PixelColour colour);
void CoverCircle(int width, int height, double cx, double cy, double radius, double strokeWidth, Coverage& coverage);

// Composites the colour over the pixels as far as the coverage goes. Every
// run of pixels painted is added to `touched`, so that the caller can undo
// exactly what was drawn.
void PaintCoverage(const RowKernels& kernels, const PixelRows& rows, const Coverage& coverage, PixelColour colour,
                   std::vector<Span>& touched);

// Sets the pixels of the spans, or of every row, to one value.
void FillSpans(const RowKernels& kernels, const PixelRows& rows, const std::vector<Span>& spans, PixelColour colour);
void FillAll(const RowKernels& kernels, const PixelRows& rows, PixelColour colour);

}  // namespace platform
