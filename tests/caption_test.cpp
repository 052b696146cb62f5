// The title: the ratio as text behind the Finnish words, with the user's
// decimal separator.

#include <gtest/gtest.h>
#include <clocale>

#include <set>

#include "geometry/pentagon.h"
#include "geometry/ratio_caption.h"

namespace {

using geometry::NumberText;
using geometry::RatioCaption;

TEST(NumberTextTest, HasAtMostFifteenSignificantDigitsAndNoTrailingZeros) {
    EXPECT_EQ(NumberText(1.6180339887498949, "."), "1.61803398874989");
    EXPECT_EQ(NumberText(1.6180339887499001, "."), "1.6180339887499");
    EXPECT_EQ(NumberText(2.0, "."), "2");
    EXPECT_EQ(NumberText(0.25, "."), "0.25");
    EXPECT_EQ(NumberText(1234.5678, "."), "1234.5678");
}

TEST(NumberTextTest, UsesTheGivenDecimalSeparatorWhateverItsLength) {
    EXPECT_EQ(NumberText(1.6180339887498949, ","), "1,61803398874989");
    EXPECT_EQ(NumberText(2.0, ","), "2");
    // Pashto's momayyez, two bytes of UTF-8, and a user's three characters.
    EXPECT_EQ(NumberText(1.6180339887498949, "\u066B"), "1\u066B61803398874989");
    EXPECT_EQ(NumberText(0.25, "<->"), "0<->25");
}

TEST(RatioCaptionTest, PutsTheWordsBeforeTheNumber) {
    EXPECT_EQ(RatioCaption(1.6180339887498949, "."), "Fii on suunnilleen 1.61803398874989");
    EXPECT_EQ(RatioCaption(1.6180339887498949, ","), "Fii on suunnilleen 1,61803398874989");
}

// The last shown digit follows the rounding of each frame's arithmetic: over
// a whole turn of a maximised window both forms of the title appear, and no
// other.
TEST(RatioCaptionTest, AWholeTurnShowsBothRoundingsOfTheRatio) {
    std::set<std::string> captions;
    geometry::Pentagon pentagon;
    const float radius = geometry::CircumscribedRadius(1024, 740);
    for (int angle = 0; angle < 360; ++angle) {
        geometry::PlaceVertices(pentagon, geometry::ComputePi(), radius, angle);
        const double ratio = geometry::ChordLength(pentagon, 0, 2) / geometry::ChordLength(pentagon, 0, 1);
        captions.insert(RatioCaption(ratio, "."));
    }
    EXPECT_EQ(captions,
              (std::set<std::string>{"Fii on suunnilleen 1.61803398874989", "Fii on suunnilleen 1.6180339887499"}));
}

}  // namespace
