#pragma once

#include <cstdint>
#include <vector>

namespace platform {

// 32-bit xRGB pixels (0x00RRGGBB) in rows of `stride` bytes.
struct PixelRows {
    std::uint8_t* data = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;
};

// A run of pixels on one row, [x0, x1).
struct Span {
    int y = 0;
    int x0 = 0;
    int x1 = 0;
};

// Antialiased strokes with round ends, composited over what is there. Points
// are in pixel-corner coordinates: the centre of pixel (i, j) is at
// (i + 0.5, j + 0.5). A pixel's coverage falls from 1 to 0 over the pixel
// around the stroke's edge. Every run of pixels touched is added to
// `touched`, so that the caller can undo exactly what was drawn.
void StrokeSegment(const PixelRows& rows, double x1, double y1, double x2, double y2, double width, std::uint32_t rgb,
                   std::vector<Span>& touched);
void StrokeCircle(const PixelRows& rows, double cx, double cy, double radius, double width, std::uint32_t rgb,
                  std::vector<Span>& touched);

// Sets the pixels of the spans, or of every row, to one value.
void FillSpans(const PixelRows& rows, const std::vector<Span>& spans, std::uint32_t rgb);
void FillAll(const PixelRows& rows, std::uint32_t rgb);

}  // namespace platform
