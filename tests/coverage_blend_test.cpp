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
    BlendRowOneByOne(pixels.data(), coverage.data(), static_cast<int>(pixels.size()), platform::XrgbColour{0xFF0000});
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        EXPECT_EQ(pixels[i], coverage[i] == 0 ? before[i] : 0xFF0000U) << "pixel " << i;
    }
}

TEST(CoverageBlendTest, HalfCoverageOverBlackGivesHalfTheColour) {
    std::vector<std::uint32_t> pixels(5, 0x000000);
    const std::vector<std::uint8_t> coverage(5, 128);
    BlendRowOneByOne(pixels.data(), coverage.data(), 5, platform::XrgbColour{0xFF0000});
    for (const std::uint32_t pixel : pixels) {
        EXPECT_EQ(pixel, 0x800000U);
    }
}

}  // namespace
