#include "platform/changed_tiles.h"

#include <algorithm>

namespace platform {

void ChangedTiles::Reset(int width, int height) {
    width_ = width;
    height_ = height;
    columns_ = (width + kTileSize - 1) / kTileSize;
    rows_ = (height + kTileSize - 1) / kTileSize;
    tiles_.assign(static_cast<std::size_t>(columns_) * rows_, 0);
    all_ = true;
}

void ChangedTiles::Mark(std::span<const Span> spans) {
    if (all_) {
        return;
    }
    // A stroke's runs on neighbouring rows mostly fall in the same tiles:
    // tiles that run on from the last span's are marked together, once.
    int row = -1;
    int first = 0;
    int last = -1;
    const auto markPending = [&] {
        if (row < 0) {
            return;
        }
        auto* tiles = tiles_.data() + static_cast<std::ptrdiff_t>(row) * columns_;
        std::fill(tiles + first, tiles + last + 1, std::uint8_t{1});
    };
    for (const Span& span : spans) {
        if (span.x0 >= span.x1) {
            continue;
        }
        // Spans lie inside the image, so the tile is a shift away.
        const int spanRow = span.y >> kTileShift;
        const int spanFirst = span.x0 >> kTileShift;
        const int spanLast = (span.x1 - 1) >> kTileShift;
        if (spanRow == row && spanFirst <= last + 1 && spanLast >= first - 1) {
            first = std::min(first, spanFirst);
            last = std::max(last, spanLast);
            continue;
        }
        markPending();
        row = spanRow;
        first = spanFirst;
        last = spanLast;
    }
    markPending();
}

std::vector<PixelRect> ChangedTiles::Take() {
    std::vector<PixelRect> rects;
    if (all_) {
        if (width_ > 0 && height_ > 0) {
            rects.push_back({0, 0, width_, height_});
        }
    } else {
        for (int row = 0; row < rows_; ++row) {
            const auto* tiles = tiles_.data() + static_cast<std::ptrdiff_t>(row) * columns_;
            for (int column = 0; column < columns_;) {
                if (tiles[column] == 0) {
                    ++column;
                    continue;
                }
                const int first = column;
                while (column < columns_ && tiles[column] != 0) {
                    ++column;
                }
                const int x = first * kTileSize;
                const int y = row * kTileSize;
                rects.push_back({x, y, std::min(column * kTileSize, width_) - x, std::min(y + kTileSize, height_) - y});
            }
        }
    }
    std::fill(tiles_.begin(), tiles_.end(), std::uint8_t{0});
    all_ = false;
    return rects;
}

}  // namespace platform
