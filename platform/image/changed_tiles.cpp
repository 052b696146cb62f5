#include "platform/image/changed_tiles.h"

#include <algorithm>
#include <cstring>

namespace platform {
namespace {

// The first marked tile of a row at or after `column`, or `columns` if none:
// a frame marks a few tiles in each row of hundreds, so the others are
// passed over eight at a time.
int NextMarked(const std::uint8_t* tiles, int column, int columns) {
    for (std::uint64_t eight = 0; column + 8 <= columns; column += 8) {
        std::memcpy(&eight, tiles + column, sizeof eight);
        if (eight != 0) {
            break;
        }
    }
    while (column < columns && tiles[column] == 0) {
        ++column;
    }
    return column;
}

}  // namespace

void ChangedTiles::TileSet::Reset(std::size_t count) {
    marked_.assign(count, 0);
    list_.clear();
}

void ChangedTiles::TileSet::Clear() {
    for (const std::uint32_t tile : list_) {
        marked_[tile] = 0;
    }
    list_.clear();
}

void ChangedTiles::Reset(int width, int height) {
    width_ = width;
    height_ = height;
    columns_ = (width + kTileSize - 1) / kTileSize;
    rows_ = (height + kTileSize - 1) / kTileSize;
    const auto count = static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_);
    drawn_.Reset(count);
    cleared_.Reset(count);
    drawnBeforeTake_.Reset(count);
    all_ = true;
}

void ChangedTiles::Mark(std::span<const Span> spans) {
    // A stroke's runs on neighbouring rows mostly fall in the same tiles:
    // tiles that run on from the last span's are marked together, once.
    int row = -1;
    int first = 0;
    int last = -1;
    const auto markPending = [&] {
        if (row >= 0) {
            MarkRange(row, first, last);
        }
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

void ChangedTiles::MarkConvex(std::span<const Span> spans) {
    const Span* span = spans.data();
    const Span* const end = span + spans.size();
    while (span != end) {
        // Spans lie inside the image, so the tile is a shift away.
        const int row = span->y >> kTileShift;
        int first = span->x0;
        int last = span->x1;
        for (++span; span != end && (span->y >> kTileShift) == row; ++span) {
            first = std::min(first, span->x0);
            last = std::max(last, span->x1);
        }
        MarkRange(row, first >> kTileShift, (last - 1) >> kTileShift);
    }
}

void ChangedTiles::MarkRange(int row, int first, int last) {
    const auto at = static_cast<std::size_t>(row) * static_cast<std::size_t>(columns_);
    for (int tile = first; tile <= last; ++tile) {
        drawn_.Mark(at + static_cast<std::size_t>(tile));
    }
}

void ChangedTiles::MarkCleared() {
    cleared_.MarkAllOf(drawnBeforeTake_);
    cleared_.MarkAllOf(drawn_);
    drawnBeforeTake_.Clear();
    drawn_.Clear();
}

std::vector<PixelRect> ChangedTiles::Take() {
    std::vector<PixelRect> rects;
    if (all_) {
        if (width_ > 0 && height_ > 0) {
            rects.push_back({0, 0, width_, height_});
        }
    } else if (!cleared_.Empty() || !drawn_.Empty()) {
        cleared_.MarkAllOf(drawn_);  // all that changed, drawn on or cleared
        for (int row = 0; row < rows_; ++row) {
            const std::uint8_t* tiles = cleared_.Row(row, columns_);
            for (int column = NextMarked(tiles, 0, columns_); column < columns_;
                 column = NextMarked(tiles, column, columns_)) {
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
    drawnBeforeTake_.MarkAllOf(drawn_);
    drawn_.Clear();
    cleared_.Clear();
    all_ = false;
    return rects;
}

}  // namespace platform
