// The frame values: the radius, the turn, the vertices and the two chords
// whose ratio the title shows.

#include <gtest/gtest.h>
#include <numbers>

#include <cmath>
#include <stdexcept>

#include "geometry/pentagon.h"

namespace {

using geometry::ChordLength;
using geometry::CircumscribedRadius;
using geometry::NextRotationAngle;
using geometry::Pentagon;
using geometry::PlaceVertices;

const double kGoldenRatio = (1 + std::sqrt(5.0)) / 2;

TEST(RadiusTest, IsHalfTheSmallerSideOfTheClientArea) {
    EXPECT_EQ(CircumscribedRadius(1024, 740), 370.0F);
    EXPECT_EQ(CircumscribedRadius(300, 500), 150.0F);
    EXPECT_EQ(CircumscribedRadius(400, 400), 200.0F);
    EXPECT_EQ(CircumscribedRadius(312, 213), 106.5F);
    EXPECT_EQ(CircumscribedRadius(1, 2), 0.5F);
}

TEST(RotationTest, TurnsOneDegreeAndWrapsAfter359) {
    EXPECT_EQ(NextRotationAngle(0), 1);
    EXPECT_EQ(NextRotationAngle(1), 2);
    EXPECT_EQ(NextRotationAngle(358), 359);
    EXPECT_EQ(NextRotationAngle(359), 0);
    int angle = 0;
    for (int frame = 0; frame < 360; ++frame) {
        angle = NextRotationAngle(angle);
    }
    EXPECT_EQ(angle, 0);
}

TEST(PentagonTest, PlacesTheVerticesClockwiseFromTheTurn) {
    Pentagon pentagon;
    PlaceVertices(pentagon, geometry::ComputePi(), 100, 0);
    const double expectedX[] = {100, 30.9017, -80.9017, -80.9017, 30.9017};
    const double expectedY[] = {0, 95.1057, 58.7785, -58.7785, -95.1057};
    for (std::size_t i = 0; i < geometry::kVertexCount; ++i) {
        EXPECT_NEAR(pentagon.VertexX[i], expectedX[i], 5e-5) << "vertex " << i;
        EXPECT_NEAR(pentagon.VertexY[i], expectedY[i], 5e-5) << "vertex " << i;
    }
    EXPECT_NEAR(ChordLength(pentagon, 0, 1), 117.5571, 5e-5);
    EXPECT_NEAR(ChordLength(pentagon, 0, 2), 190.2113, 5e-5);
    EXPECT_NEAR(ChordLength(pentagon, 0, 2) / ChordLength(pentagon, 0, 1), 1.6180339887, 5e-11);
}

TEST(PentagonTest, TurnsWithTheRotationAngle) {
    Pentagon pentagon;
    PlaceVertices(pentagon, geometry::ComputePi(), 370, 90);
    // A quarter turn puts vertex 0 straight below the centre, as y grows downward.
    EXPECT_NEAR(pentagon.VertexX[0], 0, 1e-9);
    EXPECT_NEAR(pentagon.VertexY[0], 370, 1e-9);
    EXPECT_NEAR(pentagon.VertexX[1], 370 * std::cos(162 * std::numbers::pi / 180), 1e-9);
    EXPECT_NEAR(pentagon.VertexY[1], 370 * std::sin(162 * std::numbers::pi / 180), 1e-9);
}

TEST(PentagonTest, TheRatioIsGoldenAtEveryTurnAndSize) {
    Pentagon pentagon;
    for (const float radius : {0.5F, 106.5F, 370.0F, 540.0F, 8000.0F}) {
        for (int angle = 0; angle < 360; ++angle) {
            PlaceVertices(pentagon, geometry::ComputePi(), radius, angle);
            const double ratio = ChordLength(pentagon, 0, 2) / ChordLength(pentagon, 0, 1);
            ASSERT_NEAR(ratio, kGoldenRatio, 1e-12) << "radius " << radius << ", angle " << angle;
        }
    }
}

TEST(PentagonTest, AVertexOutsideTheTableIsAnError) {
    const Pentagon pentagon;
    EXPECT_THROW((void)ChordLength(pentagon, 0, 5), std::out_of_range);
    EXPECT_THROW((void)ChordLength(pentagon, 7, 1), std::out_of_range);
}

}  // namespace
