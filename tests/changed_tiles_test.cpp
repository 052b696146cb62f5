// What the window is sent each frame: the tiles that changed, nothing more,
// and everything after a resize.

#include <gtest/gtest.h>

#include "platform/changed_tiles.h"
#include "platform/persistent_image.h"

namespace {

using platform::ChangedTiles;
using platform::PixelRect;

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
    ChangedTiles tiles;
    tiles.Reset(100, 70);
    (void)tiles.Take();
    tiles.Mark({65, 30, 70});   // the last tile row, columns 0 to 2
    tiles.Mark({65, 99, 100});  // column 3, beside them: one rectangle
    const auto rects = tiles.Take();
    ASSERT_EQ(rects.size(), 1U);
    EXPECT_EQ(rects[0].x, 0);
    EXPECT_EQ(rects[0].y, 64);
    EXPECT_EQ(rects[0].width, 100);
    EXPECT_EQ(rects[0].height, 6);
}

TEST(ChangedTilesTest, AFrameSendsFarLessThanTheWholeWindow) {
    platform::PersistentImage image;
    image.Resize(1920, 1080, 0);
    image.Clear(0);
    image.Circle(960, 540, 540, 0xFF, 5);
    (void)image.TakeChanges();
    // The next frame: the old strokes cleared, new ones drawn.
    image.Clear(0);
    image.Line(500, 100, 1400, 900, 0xFF, 5);
    image.Circle(960, 540, 540, 0xFF, 5);
    const int sent = Area(image.TakeChanges());
    EXPECT_GT(sent, 0);
    EXPECT_LT(sent, 1920 * 1080 / 4);
    // Clearing to another colour changes everything.
    image.Clear(0x00FF00);
    EXPECT_EQ(Area(image.TakeChanges()), 1920 * 1080);
}

}  // namespace
