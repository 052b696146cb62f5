#include "platform/image/tile_copy.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <vector>

#include "platform/image/changed_tiles.h"

namespace platform {
// How a failing check shows a rectangle.
void PrintTo(const PixelRect& rect, std::ostream* out) {
    *out << "{" << rect.x << ", " << rect.y << ", " << rect.width << " x " << rect.height << "}";
}
}  // namespace platform

namespace {

using platform::PixelRect;
using platform::PixelRows;

constexpr int kTile = platform::ChangedTiles::kTileSize;

// An image of four tile columns and a narrow fifth, two tile rows and a low
// third.
struct Image {
    static constexpr int kWidth = 4 * kTile + 4;
    static constexpr int kHeight = 2 * kTile + 6;
    std::vector<std::uint32_t> pixels = std::vector<std::uint32_t>(static_cast<std::size_t>(kWidth) * kHeight, 0);

    std::uint32_t& At(int x, int y) { return pixels[static_cast<std::size_t>(y) * kWidth + x]; }
    PixelRows Rows() { return {reinterpret_cast<std::uint8_t*>(pixels.data()), kWidth, kHeight, kWidth * 4}; }
};

TEST(TileCopyTest, CopiesAndReportsOnlyTheTilesThatDiffer) {
    Image shown;
    Image drawn;
    drawn.At(5, 5) = 1;                           // tile (0, 0)
    drawn.At(kTile + 3, 2) = 2;                   // tile (1, 0), next to it: one rectangle
    drawn.At(Image::kWidth - 1, 3) = 3;           // the narrow tile of that row, apart
    drawn.At(2 * kTile, Image::kHeight - 1) = 4;  // tile (2, 2), a low one
    drawn.At(2 * kTile, kTile + 1) = 5;           // tile (2, 1), not a candidate: stays as it was
    const std::vector<PixelRect> candidates = {{0, 0, Image::kWidth, kTile},
                                               {2 * kTile, 2 * kTile, Image::kWidth - 2 * kTile, 6}};
    const auto copied = platform::CopyDifferingTiles(drawn.Rows(), shown.Rows(), candidates, kTile);
    const std::vector<PixelRect> expected = {
        {0, 0, 2 * kTile, kTile}, {4 * kTile, 0, 4, kTile}, {2 * kTile, 2 * kTile, kTile, 6}};
    EXPECT_EQ(copied, expected);
    EXPECT_EQ(shown.At(5, 5), 1U);
    EXPECT_EQ(shown.At(kTile + 3, 2), 2U);
    EXPECT_EQ(shown.At(Image::kWidth - 1, 3), 3U);
    EXPECT_EQ(shown.At(2 * kTile, Image::kHeight - 1), 4U);
    EXPECT_EQ(shown.At(2 * kTile, kTile + 1), 0U) << "copied outside the candidates";
}

TEST(TileCopyTest, AWholeImageCandidateIsSplitIntoTilesAndIdenticalImagesCopyNothing) {
    Image shown;
    Image drawn;
    const std::vector<PixelRect> whole = {{0, 0, Image::kWidth, Image::kHeight}};
    EXPECT_TRUE(platform::CopyDifferingTiles(drawn.Rows(), shown.Rows(), whole, kTile).empty());
    drawn.At(kTile + 1, kTile + 1) = 7;
    drawn.At(0, Image::kHeight - 1) = 8;
    const auto copied = platform::CopyDifferingTiles(drawn.Rows(), shown.Rows(), whole, kTile);
    const std::vector<PixelRect> expected = {{kTile, kTile, kTile, kTile}, {0, 2 * kTile, kTile, 6}};
    EXPECT_EQ(copied, expected);
    EXPECT_EQ(shown.pixels, drawn.pixels);
}

TEST(TileCopyTest, FinerTilesCopyLessAroundAChange) {
    Image shown;
    Image drawn;
    constexpr int kFine = kTile / 2;
    drawn.At(kFine + 1, 2) = 1;          // the second fine tile of the first row
    drawn.At(kTile + kFine, kFine) = 2;  // a fine tile inside the next coarse one
    const std::vector<PixelRect> whole = {{0, 0, Image::kWidth, Image::kHeight}};
    const auto copied = platform::CopyDifferingTiles(drawn.Rows(), shown.Rows(), whole, kFine);
    const std::vector<PixelRect> expected = {{kFine, 0, kFine, kFine}, {kTile + kFine, kFine, kFine, kFine}};
    EXPECT_EQ(copied, expected);
    EXPECT_EQ(shown.pixels, drawn.pixels);
}

TEST(TileCopyTest, RectanglesOfTheSameColumnsOneBelowTheOtherAreJoined) {
    const std::vector<PixelRect> rects = {
        {0, 0, 16, 16},  {32, 0, 16, 16},  // two in the first row
        {0, 16, 16, 16}, {48, 16, 8, 16},  // the first continues, the other starts
        {0, 32, 16, 6},  {32, 32, 16, 6},  // the first goes on; under the second's gap, a new one
        {48, 48, 8, 4}};                   // under the gap of a row: apart
    const std::vector<PixelRect> expected = {
        {0, 0, 16, 38}, {32, 0, 16, 16}, {48, 16, 8, 16}, {32, 32, 16, 6}, {48, 48, 8, 4}};
    EXPECT_EQ(platform::JoinColumns(rects), expected);
    EXPECT_TRUE(platform::JoinColumns({}).empty());
}

TEST(TileCopyTest, CopyingRectsCopiesThemWhateverTheyHold) {
    Image shown;
    Image drawn;
    drawn.At(1, 1) = 9;
    drawn.At(Image::kWidth - 1, Image::kHeight - 1) = 9;
    platform::CopyRects(drawn.Rows(), shown.Rows(), {{0, 0, 4, 4}});
    EXPECT_EQ(shown.At(1, 1), 9U);
    EXPECT_EQ(shown.At(Image::kWidth - 1, Image::kHeight - 1), 0U);
}

}  // namespace
