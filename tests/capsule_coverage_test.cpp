#include "platform/raster/capsule_coverage.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace {

using platform::BandRow;
using platform::CapsuleRow;

CapsuleRow Capsule(float x1, float y1, float x2, float y2, float py, float edge) {
    const float dx = x2 - x1;
    const float dy = y2 - y1;
    const float lengthSquared = dx * dx + dy * dy;
    return {py, x1, y1, dx, dy, lengthSquared > 0 ? 1 / lengthSquared : 0.0F, edge};
}

TEST(CapsuleCoverageTest, AHorizontalStrokeCoversItsMiddleWhollyAndFadesAtItsEdgeAndEnds) {
    // From (10, 10) to (30, 10), 5 wide: edge 3 with the half-pixel fade.
    std::vector<std::uint8_t> values(40);
    platform::CoverCapsuleRowOneByOne(Capsule(10, 10, 30, 10, 10.5F, 3), 0, 40, values.data());
    EXPECT_EQ(values[20], 255) << "on the middle line";
    EXPECT_EQ(values[6], 0) << "beyond the round end";
    EXPECT_GT(values[7], 0) << "at the round end's fade";
    EXPECT_LT(values[7], 255);
    platform::CoverCapsuleRowOneByOne(Capsule(10, 10, 30, 10, 12.5F, 3), 0, 40, values.data());
    EXPECT_EQ(values[20], 128) << "2 px off the middle line, at the fade's middle";
    platform::CoverCapsuleRowOneByOne(Capsule(10, 10, 30, 10, 13.5F, 3), 0, 40, values.data());
    EXPECT_EQ(values[20], 0) << "3 px off the middle line";
}

TEST(CapsuleCoverageTest, ASegmentOfNoLengthIsARoundDot) {
    std::vector<std::uint8_t> values(20);
    platform::CoverCapsuleRowOneByOne(Capsule(10, 10, 10, 10, 10.5F, 3), 0, 20, values.data());
    for (int x = 0; x < 20; ++x) {
        const float distance = std::abs(static_cast<float>(x) + 0.5F - 10);
        EXPECT_EQ(values[x] == 0, distance >= 3) << "pixel " << x;
    }
}

// Between the ends the band's linear distance and the capsule's own agree.
TEST(CapsuleCoverageTest, TheBandAgreesWithTheCapsuleBetweenTheEnds) {
    const float x1 = 100;
    const float y1 = 20;
    const float x2 = 140;
    const float y2 = 300;
    const float py = 150.5F;
    const float dx = x2 - x1;
    const float dy = y2 - y1;
    const float length = std::sqrt(dx * dx + dy * dy);
    const int x0 = 110;
    const BandRow band{((static_cast<float>(x0) + 0.5F - x1) * dy - (py - y1) * dx) / length, dy / length, 3};
    std::vector<std::uint8_t> linear(20);
    std::vector<std::uint8_t> exact(20);
    platform::CoverBandRowOneByOne(band, 0, 20, linear.data());
    platform::CoverCapsuleRowOneByOne(Capsule(x1, y1, x2, y2, py, 3), x0, 20, exact.data());
    int covered = 0;
    for (std::size_t i = 0; i < linear.size(); ++i) {
        EXPECT_NEAR(linear[i], exact[i], 1) << "pixel " << x0 + static_cast<int>(i);
        covered += exact[i] > 0 ? 1 : 0;
    }
    EXPECT_GE(covered, 5) << "the row does not cross the stroke";
}

}  // namespace
