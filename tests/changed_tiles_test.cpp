// What the window is sent each frame: the tiles that changed, nothing more,
// and everything after a resize.

#include <gtest/gtest.h>

#include <array>
#include <random>

#include "platform/image/changed_tiles.h"
#include "platform/image/persistent_image.h"
#include "platform/raster/stroke_raster.h"

namespace {

using platform::ChangedTiles;
using platform::PixelRect;
using platform::Span;

int Area(const std::vector<PixelRect>& rects) {
    int area = 0;
    for (const auto& rect : rects) {
        area += rect.width * rect.height;
    }
    return area;
}

TEST(ChangedTilesTest, ANewImageIsAllChangedThenNothingIs) {
    ChangedTiles tiles;
    tiles.Reset(100, 70);
    const auto first = tiles.Take();
    ASSERT_EQ(first.size(), 1U);
    EXPECT_EQ(first[0].width, 100);
    EXPECT_EQ(first[0].height, 70);
    EXPECT_TRUE(tiles.Take().empty());
}

TEST(ChangedTilesTest, ARunMarksTheTilesItCrossesClippedToTheImage) {
    constexpr int kTile = ChangedTiles::kTileSize;
    // An image whose last tile column and row are narrow.
    const int width = 4 * kTile + 4;
    const int height = 2 * kTile + 6;
    ChangedTiles tiles;
    tiles.Reset(width, height);
    (void)tiles.Take();
    const int y = 2 * kTile + 1;                      // in the last tile row
    const Span runs[]{{y, kTile + 3, 3 * kTile - 2},  // tile columns 1 and 2
                      {y, 3 * kTile, 3 * kTile + 1},  // column 3, beside them
                      {y, width - 1, width},          // the narrow column, beside that
                      {0, 0, 1}};                     // apart, in the first tile
    tiles.Mark(runs);
    const auto rects = tiles.Take();
    const std::vector<PixelRect> expected = {{0, 0, kTile, kTile}, {kTile, 2 * kTile, width - kTile, 6}};
    EXPECT_EQ(rects, expected);
    EXPECT_TRUE(tiles.Take().empty());
}

// A clear changes the tiles of everything drawn since the clear before it,
// shown or not, and nothing drawn before that clear.
TEST(ChangedTilesTest, AClearChangesTheTilesDrawnOnSinceTheClearBefore) {
    constexpr int kTile = ChangedTiles::kTileSize;
    ChangedTiles tiles;
    tiles.Reset(8 * kTile, 4 * kTile);
    (void)tiles.Take();
    const PixelRect first{0, 0, kTile, kTile};
    const PixelRect second{4 * kTile, 2 * kTile, 2 * kTile, kTile};
    const PixelRect third{7 * kTile, 3 * kTile, kTile, kTile};

    tiles.Mark(std::array{Span{1, 2, 9}});
    EXPECT_EQ(tiles.Take(), std::vector{first}) << "drawn";
    tiles.Mark(std::array{Span{2 * kTile + 5, 4 * kTile + 1, 6 * kTile - 1}});
    EXPECT_EQ(tiles.Take(), std::vector{second}) << "drawn, the first not again";
    tiles.MarkCleared();
    EXPECT_EQ(tiles.Take(), (std::vector{first, second})) << "both cleared, though shown apart";
    tiles.Mark(std::array{Span{3 * kTile, 7 * kTile, 8 * kTile}});
    tiles.MarkCleared();
    EXPECT_EQ(tiles.Take(), std::vector{third}) << "drawn and cleared since; the others were cleared before";
    tiles.MarkCleared();
    EXPECT_TRUE(tiles.Take().empty()) << "nothing drawn since the last clear";
}

TEST(ChangedTilesTest, AFrameSendsFarLessThanTheWholeWindow) {
    platform::PersistentImage image;
    image.Resize(1920, 1080, platform::PixelColour{0});
    image.Clear(platform::PixelColour{0});
    image.Circle(960, 540, 540, platform::PixelColour{0xFF}, 5);
    (void)image.TakeChanges();
    // The next frame: the old strokes cleared, new ones drawn.
    image.Clear(platform::PixelColour{0});
    image.Line(500, 100, 1400, 900, platform::PixelColour{0xFF}, 5);
    image.Circle(960, 540, 540, platform::PixelColour{0xFF}, 5);
    const int sent = Area(image.TakeChanges());
    EXPECT_GT(sent, 0);
    EXPECT_LT(sent, 1920 * 1080 / 4);
    // Clearing to another colour changes everything.
    image.Clear(platform::PixelColour{0x00FF00});
    EXPECT_EQ(Area(image.TakeChanges()), 1920 * 1080);
}

}  // namespace

namespace {

// A stroke's runs marked at once a row of tiles mark what marking them run
// by run marks: strokes at any angle and width, over any tile boundaries.
TEST(ChangedTilesTest, AStrokesRunsMarkedTogetherMarkWhatTheyMarkOneByOne) {
    std::mt19937 random(20261209);
    std::uniform_real_distribution<double> anywhere(-20, 220);
    platform::SegmentPlan plan;
    std::vector<platform::Span> spans;
    for (int trial = 0; trial < 300; ++trial) {
        platform::PlanSegment(platform::OneByOneKernels(), 200, 150, anywhere(random), anywhere(random),
                              anywhere(random), anywhere(random), 1 + trial % 9, plan);
        spans.clear();
        for (const platform::SegmentRow& row : plan.Rows()) {
            spans.push_back({row.y, row.from, row.to});
        }
        ChangedTiles together;
        ChangedTiles oneByOne;
        together.Reset(200, 150);
        oneByOne.Reset(200, 150);
        (void)together.Take();
        (void)oneByOne.Take();
        together.MarkConvex(spans);
        oneByOne.Mark(spans);
        ASSERT_EQ(together.Take(), oneByOne.Take()) << "trial " << trial;
    }
}

}  // namespace
