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
// going through the runs again. Each map of tiles keeps a list of the tiles
// marked in it, so that marking, clearing and moving them costs as many
// steps as there are tiles marked, not as there are tiles in the image: a
// frame of strokes marks a few hundred, where an image at 8K has 130,000.
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
    // Everything drawn on since the last clear was cleared.
    void MarkCleared();

    // The changed parts as rectangles, each a run of tiles along a tile row;
    // afterwards nothing counts as changed.
    [[nodiscard]] std::vector<PixelRect> Take();

private:
    // Tiles, each marked or not, and a list of the marked ones.
    class TileSet {
    public:
        void Reset(std::size_t count);
        void Mark(std::size_t tile) {
            if (marked_[tile] == 0) {
                marked_[tile] = 1;
                list_.push_back(static_cast<std::uint32_t>(tile));
            }
        }
        void MarkAllOf(const TileSet& other) {
            for (const std::uint32_t tile : other.list_) {
                Mark(tile);
            }
        }
        void Clear();
        [[nodiscard]] bool Empty() const { return list_.empty(); }
        [[nodiscard]] const std::uint8_t* Row(int row, int columns) const {
            return marked_.data() + static_cast<std::ptrdiff_t>(row) * columns;
        }

    private:
        std::vector<std::uint8_t> marked_;
        std::vector<std::uint32_t> list_;
    };

    void MarkRange(int row, int first, int last);

    int width_ = 0;
    int height_ = 0;
    int columns_ = 0;
    int rows_ = 0;
    bool all_ = true;
    TileSet drawn_;            // drawn on since the last Take and the last clear
    TileSet cleared_;          // cleared since the last Take
    TileSet drawnBeforeTake_;  // drawn on since the last clear, before the last Take
};

}  // namespace platform
