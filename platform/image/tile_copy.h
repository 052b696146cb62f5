#pragma once

#include <vector>

#include "platform/image/pixel_rect.h"
#include "platform/raster/pixel_rows.h"

namespace platform {

// Copies the parts that may have changed from an image to a copy of it that
// showed it before, tile by tile, and only the tiles that differ: a tile
// drawn over with the same pixels (the circle, every frame) is neither
// copied nor sent again. Returns the tiles copied, as rectangles along each
// tile row. Both images are the same size and the rectangles lie within
// them. Tiles are `tileSize` pixels square, a power of two no larger than
// the image's changed tiles: smaller ones send less for a thin stroke, at
// the cost of more rectangles.
[[nodiscard]] std::vector<PixelRect> CopyDifferingTiles(const PixelRows& from, const PixelRows& to,
                                                        const std::vector<PixelRect>& candidates, int tileSize);

// The same rectangles with each one that lies right below another of the
// same columns joined to it: fewer, taller rectangles, each sent in one go.
// The rectangles come row by row, left to right, as CopyDifferingTiles gives them.
[[nodiscard]] std::vector<PixelRect> JoinColumns(const std::vector<PixelRect>& rects);

// Copies the rectangles as they are, for a copy that holds nothing yet.
void CopyRects(const PixelRows& from, const PixelRows& to, const std::vector<PixelRect>& rects);

}  // namespace platform
