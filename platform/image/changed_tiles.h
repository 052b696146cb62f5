#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/image/pixel_rect.h"
#include "platform/raster/pixel_rows.h"

namespace platform {

// Which parts of an image changed since it was last shown, to the nearest
// tile, so that showing it copies and sends only those.
//
// It also keeps which tiles were drawn on since the image was last cleared,
// so that a clear of what was drawn marks those tiles at once instead of
// going through the runs again.
class ChangedTiles {
public:
    static constexpr int kTileShift = 4;
    static constexpr int kTileSize = 1 << kTileShift;

    // A new image of this size: all of it is new, none of it drawn on.
    void Reset(int width, int height);
    void MarkAll() { all_ = true; }
    // Runs of pixels drawn on.
    void Mark(std::span<const Span> spans);
    // The runs of one convex shape (a stroke), a row each, top to bottom:
    // within a row of tiles their tiles are one range, marked at once.
    void MarkConvex(std::span<const Span> spans);
    void Mark(const Span& span) { Mark(std::span(&span, 1)); }
    // Everything drawn on since the last clear was cleared.
    void MarkCleared();

    // The changed parts as rectangles, each a run of tiles along a tile row;
    // afterwards nothing counts as changed.
    [[nodiscard]] std::vector<PixelRect> Take();

private:
    using Tiles = std::vector<std::uint8_t>;

    int width_ = 0;
    int height_ = 0;
    int columns_ = 0;
    int rows_ = 0;
    bool all_ = true;
    Tiles drawn_;            // drawn on since the last Take and the last clear
    Tiles cleared_;          // cleared since the last Take
    Tiles drawnBeforeTake_;  // drawn on since the last clear, before the last Take
};

}  // namespace platform
