#include "platform/raster/coverage_blend.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

using platform::BlendRowOneByOne;

TEST(CoverageBlendTest, NoCoverageKeepsThePixelAndWholeCoverageGivesTheColour) {
    std::vector<std::uint32_t> pixels = {0x123456, 0xABCDEF, 0x000000, 0xFFFFFF, 0x00FF00, 0x7F7F7F};
    const std::vector<std::uint8_t> coverage = {0, 255, 0, 255, 0, 255};
    const std::vector<std::uint32_t> before = pixels;
    BlendRowOneByOne(pixels.data(), coverage.data(), static_cast<int>(pixels.size()), platform::PixelColour{0xFF0000});
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        EXPECT_EQ(pixels[i], coverage[i] == 0 ? before[i] : 0xFF0000U) << "pixel " << i;
    }
}

TEST(CoverageBlendTest, HalfCoverageOverBlackGivesHalfTheColour) {
    std::vector<std::uint32_t> pixels(5, 0x000000);
    const std::vector<std::uint8_t> coverage(5, 128);
    BlendRowOneByOne(pixels.data(), coverage.data(), 5, platform::PixelColour{0xFF0000});
    for (const std::uint32_t pixel : pixels) {
        EXPECT_EQ(pixel, 0x800000U);
    }
}

// The fourth byte of an xRGB image is 0, of an opaque RGBA one (a canvas's)
// 255: where picture and colour share it, every coverage keeps it.
TEST(CoverageBlendTest, TheFourthBytePictureAndColourShareStaysAtEveryCoverage) {
    for (const std::uint32_t fourth : {0x00000000U, 0xFF000000U}) {
        std::vector<std::uint32_t> pixels(256, fourth | 0x204060U);
        std::vector<std::uint8_t> coverage(256);
        for (std::size_t i = 0; i < coverage.size(); ++i) {
            coverage[i] = static_cast<std::uint8_t>(i);
        }
        BlendRowOneByOne(pixels.data(), coverage.data(), 256, platform::PixelColour{fourth | 0x0000FFU});
        for (std::size_t i = 0; i < pixels.size(); ++i) {
            EXPECT_EQ(pixels[i] & 0xFF000000U, fourth) << "coverage " << i;
        }
        EXPECT_EQ(pixels.back(), fourth | 0x0000FFU);
    }
}

}  // namespace
