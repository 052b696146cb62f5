#include "platform/tile_copy.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <vector>

namespace platform {
// How a failing check shows a rectangle.
void PrintTo(const PixelRect& rect, std::ostream* out) {
    *out << "{" << rect.x << ", " << rect.y << ", " << rect.width << " x " << rect.height << "}";
}
}  // namespace platform

namespace {

using platform::PixelRect;
using platform::PixelRows;

// A 100 x 70 image: tiles of 32 make columns 0..3 (the last 4 wide) and
// rows 0..2 (the last 6 high).
struct Image {
    static constexpr int kWidth = 100;
    static constexpr int kHeight = 70;
    std::vector<std::uint32_t> pixels = std::vector<std::uint32_t>(static_cast<std::size_t>(kWidth) * kHeight, 0);

    std::uint32_t& At(int x, int y) { return pixels[static_cast<std::size_t>(y) * kWidth + x]; }
    PixelRows Rows() { return {reinterpret_cast<std::uint8_t*>(pixels.data()), kWidth, kHeight, kWidth * 4}; }
};

TEST(TileCopyTest, CopiesAndReportsOnlyTheTilesThatDiffer) {
    Image shown;
    Image drawn;
    drawn.At(5, 5) = 1;    // tile (0, 0)
    drawn.At(40, 10) = 2;  // tile (1, 0), next to it: one rectangle
    drawn.At(99, 20) = 3;  // tile (3, 0), the narrow one
    drawn.At(70, 69) = 4;  // tile (2, 2), the low one
    drawn.At(70, 40) = 5;  // tile (2, 1), not a candidate: stays as it was
    const std::vector<PixelRect> candidates = {{0, 0, 100, 32}, {64, 64, 36, 6}};
    const auto copied = platform::CopyDifferingTiles(drawn.Rows(), shown.Rows(), candidates);
    const std::vector<PixelRect> expected = {{0, 0, 64, 32}, {96, 0, 4, 32}, {64, 64, 32, 6}};
    EXPECT_EQ(copied, expected);
    EXPECT_EQ(shown.At(5, 5), 1U);
    EXPECT_EQ(shown.At(40, 10), 2U);
    EXPECT_EQ(shown.At(99, 20), 3U);
    EXPECT_EQ(shown.At(70, 69), 4U);
    EXPECT_EQ(shown.At(70, 40), 0U) << "copied outside the candidates";
}

TEST(TileCopyTest, AWholeImageCandidateIsSplitIntoTilesAndIdenticalImagesCopyNothing) {
    Image shown;
    Image drawn;
    const std::vector<PixelRect> whole = {{0, 0, Image::kWidth, Image::kHeight}};
    EXPECT_TRUE(platform::CopyDifferingTiles(drawn.Rows(), shown.Rows(), whole).empty());
    drawn.At(33, 33) = 7;
    drawn.At(0, 69) = 8;
    const auto copied = platform::CopyDifferingTiles(drawn.Rows(), shown.Rows(), whole);
    const std::vector<PixelRect> expected = {{32, 32, 32, 32}, {0, 64, 32, 6}};
    EXPECT_EQ(copied, expected);
    EXPECT_EQ(shown.pixels, drawn.pixels);
}

TEST(TileCopyTest, CopyingRectsCopiesThemWhateverTheyHold) {
    Image shown;
    Image drawn;
    drawn.At(10, 10) = 9;
    drawn.At(90, 60) = 9;
    platform::CopyRects(drawn.Rows(), shown.Rows(), {{0, 0, 20, 20}});
    EXPECT_EQ(shown.At(10, 10), 9U);
    EXPECT_EQ(shown.At(90, 60), 0U);
}

}  // namespace
