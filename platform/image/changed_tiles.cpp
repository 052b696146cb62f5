#include "platform/image/changed_tiles.h"

#include <algorithm>
#include <cstring>

namespace platform {

namespace {

// Tile maps are kept in whole words, so that they are combined a word at a time.
constexpr std::size_t kWord = sizeof(std::uint64_t);

// Every tile marked in `from` is marked in `into` too.
void Add(std::vector<std::uint8_t>& into, const std::vector<std::uint8_t>& from) {
    for (std::size_t i = 0; i < into.size(); i += kWord) {
        std::uint64_t a = 0;
        std::uint64_t b = 0;
        std::memcpy(&a, into.data() + i, kWord);
        std::memcpy(&b, from.data() + i, kWord);
        a |= b;
        std::memcpy(into.data() + i, &a, kWord);
    }
}

}  // namespace

void ChangedTiles::Reset(int width, int height) {
    width_ = width;
    height_ = height;
    columns_ = (width + kTileSize - 1) / kTileSize;
    rows_ = (height + kTileSize - 1) / kTileSize;
    const auto count = (static_cast<std::size_t>(columns_) * rows_ + kWord - 1) / kWord * kWord;
    drawn_.assign(count, 0);
    cleared_.assign(count, 0);
    drawnBeforeTake_.assign(count, 0);
    all_ = true;
}

void ChangedTiles::Mark(std::span<const Span> spans) {
    // A stroke's runs on neighbouring rows mostly fall in the same tiles:
    // tiles that run on from the last span's are marked together, once.
    int row = -1;
    int first = 0;
    int last = -1;
    const auto markPending = [&] {
        if (row < 0) {
            return;
        }
        auto* tiles = drawn_.data() + static_cast<std::ptrdiff_t>(row) * columns_;
        // Most runs of tiles are one or two long, where a call to fill them
        // would cost more than the marking.
        tiles[first] = 1;
        tiles[last] = 1;
        if (last - first > 1) {
            std::fill(tiles + first + 1, tiles + last, std::uint8_t{1});
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
        auto* tiles = drawn_.data() + static_cast<std::ptrdiff_t>(row) * columns_;
        for (int tile = first >> kTileShift; tile <= (last - 1) >> kTileShift; ++tile) {
            tiles[tile] = 1;
        }
    }
}

void ChangedTiles::MarkCleared() {
    Add(cleared_, drawnBeforeTake_);
    Add(cleared_, drawn_);
    std::fill(drawnBeforeTake_.begin(), drawnBeforeTake_.end(), std::uint8_t{0});
    std::fill(drawn_.begin(), drawn_.end(), std::uint8_t{0});
}

std::vector<PixelRect> ChangedTiles::Take() {
    std::vector<PixelRect> rects;
    if (all_) {
        if (width_ > 0 && height_ > 0) {
            rects.push_back({0, 0, width_, height_});
        }
    } else {
        Add(cleared_, drawn_);  // all that changed, drawn on or cleared
        for (int row = 0; row < rows_; ++row) {
            const auto* tiles = cleared_.data() + static_cast<std::ptrdiff_t>(row) * columns_;
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
    Add(drawnBeforeTake_, drawn_);
    std::fill(drawn_.begin(), drawn_.end(), std::uint8_t{0});
    std::fill(cleared_.begin(), cleared_.end(), std::uint8_t{0});
    all_ = false;
    return rects;
}

}  // namespace platform
