#include "platform/image/tile_copy.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace platform {
namespace {

// The first boundary of tiles of this size after v.
int NextBoundary(int v, int tile) { return (v / tile + 1) * tile; }

void Copy(const PixelRows& from, const PixelRows& to, const PixelRect& rect) {
    const auto bytes = static_cast<std::size_t>(rect.width) * sizeof(std::uint32_t);
    for (int y = rect.y; y < rect.y + rect.height; ++y) {
        std::memcpy(to.Row(y) + rect.x, from.Row(y) + rect.x, bytes);
    }
}

bool Differs(const PixelRows& from, const PixelRows& to, const PixelRect& rect) {
    const auto bytes = static_cast<std::size_t>(rect.width) * sizeof(std::uint32_t);
    for (int y = rect.y; y < rect.y + rect.height; ++y) {
        if (std::memcmp(to.Row(y) + rect.x, from.Row(y) + rect.x, bytes) != 0) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::vector<PixelRect> CopyDifferingTiles(const PixelRows& from, const PixelRows& to,
                                          const std::vector<PixelRect>& candidates, int tileSize) {
    std::vector<PixelRect> copied;
    for (const PixelRect& candidate : candidates) {
        const int right = candidate.x + candidate.width;
        const int bottom = candidate.y + candidate.height;
        for (int y = candidate.y; y < bottom; y = NextBoundary(y, tileSize)) {
            const int height = std::min(NextBoundary(y, tileSize), bottom) - y;
            bool extending = false;
            for (int x = candidate.x; x < right; x = NextBoundary(x, tileSize)) {
                const PixelRect tile{x, y, std::min(NextBoundary(x, tileSize), right) - x, height};
                if (!Differs(from, to, tile)) {
                    extending = false;
                    continue;
                }
                Copy(from, to, tile);
                if (extending) {
                    copied.back().width += tile.width;
                } else {
                    copied.push_back(tile);
                    extending = true;
                }
            }
        }
    }
    return copied;
}

std::vector<PixelRect> JoinColumns(const std::vector<PixelRect>& rects) {
    std::vector<PixelRect> joined;
    joined.reserve(rects.size());
    // The rectangles that end at the last row reached, which the next row's may join.
    std::size_t open = 0;
    for (const PixelRect& rect : rects) {
        while (open < joined.size() && joined[open].y + joined[open].height < rect.y) {
            ++open;
        }
        const auto above = std::find_if(joined.begin() + static_cast<std::ptrdiff_t>(open), joined.end(),
                                        [&](const PixelRect& candidate) {
                                            return candidate.x == rect.x && candidate.width == rect.width &&
                                                   candidate.y + candidate.height == rect.y;
                                        });
        if (above != joined.end()) {
            above->height += rect.height;
        } else {
            joined.push_back(rect);
        }
    }
    return joined;
}

void CopyRects(const PixelRows& from, const PixelRows& to, const std::vector<PixelRect>& rects) {
    for (const PixelRect& rect : rects) {
        Copy(from, to, rect);
    }
}

}  // namespace platform
