// The icon at the sides title bars and task lists use: at 16 and 24 pixels
// the star stays apart from the circle and its middle stays black, as the
// window's own pen would not let them.

#include "tools/icon_figure.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

// The pixel at `fraction` of the radius from the centre, `degrees` round
// from the x axis (y downward, as the figure turns).
std::uint32_t PixelAt(const tools::IconFigure& figure, int side, double fraction, double degrees) {
    const double radius = side / 2.0;
    const double angle = degrees * std::numbers::pi / 180;
    const auto x = static_cast<int>(std::lround(side / 2.0 + fraction * radius * std::cos(angle)));
    const auto y = static_cast<int>(std::lround(side / 2.0 + fraction * radius * std::sin(angle)));
    return figure.Image().PixelAt(x, y);
}

TEST(IconFigureTest, AtTheSmallSidesTheStarStaysApartFromTheCircleAndItsMiddleBlack) {
    constexpr double kFirstVertex = 54;  // the frame the icon shows
    for (const int side : {16, 24, 32}) {
        const tools::IconFigure figure(side);
        EXPECT_EQ(PixelAt(figure, side, 0, 0), 0U) << side << ": the star's middle";
        for (int point = 0; point < 5; ++point) {
            const double vertex = kFirstVertex + 72.0 * point;
            // Halfway round between two points, inside the circle, lies only black.
            EXPECT_EQ(PixelAt(figure, side, 0.65, vertex + 36), 0U) << side << ": between points " << point;
            // The point itself, on the circle, is red.
            EXPECT_GT(PixelAt(figure, side, 0.9, vertex) & 0xFF0000U, 0x800000U) << side << ": point " << point;
        }
    }
}

TEST(IconFigureTest, ThePenIsTheWindowsFromEightyPixelsOnAndOnePixelAtSixteen) {
    EXPECT_EQ(tools::IconPen(16), 1);
    EXPECT_EQ(tools::IconPen(24), 2);
    EXPECT_EQ(tools::IconPen(48), 3);
    EXPECT_EQ(tools::IconPen(80), 5);
    EXPECT_EQ(tools::IconPen(256), 5);
}

}  // namespace
