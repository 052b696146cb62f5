#include "platform/raster/coverage_blend.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

namespace {

using platform::BlendRow;
using platform::BlendRowOneByOne;

TEST(CoverageBlendTest, NoCoverageKeepsThePixelAndWholeCoverageGivesTheColour) {
    std::vector<std::uint32_t> pixels = {0x123456, 0xABCDEF, 0x000000, 0xFFFFFF, 0x00FF00, 0x7F7F7F};
    const std::vector<std::uint8_t> coverage = {0, 255, 0, 255, 0, 255};
    const std::vector<std::uint32_t> before = pixels;
    BlendRow(pixels.data(), coverage.data(), static_cast<int>(pixels.size()), platform::XrgbColour{0xFF0000});
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        EXPECT_EQ(pixels[i], coverage[i] == 0 ? before[i] : 0xFF0000U) << "pixel " << i;
    }
}

TEST(CoverageBlendTest, HalfCoverageOverBlackGivesHalfTheColour) {
    std::vector<std::uint32_t> pixels(5, 0x000000);
    const std::vector<std::uint8_t> coverage(5, 128);
    BlendRow(pixels.data(), coverage.data(), 5, platform::XrgbColour{0xFF0000});
    for (const std::uint32_t pixel : pixels) {
        EXPECT_EQ(pixel, 0x800000U);
    }
}

// Four at a time and one at a time give the same bits, for every length and
// every alignment of the row, over any pixels and coverage.
TEST(CoverageBlendTest, FourAtATimeMatchesOneAtATimeBitForBit) {
    std::mt19937 random(20261208);
    std::uniform_int_distribution<std::uint32_t> anyPixel(0, 0xFFFFFFFFU);
    std::uniform_int_distribution<int> anyCoverage(0, 255);
    for (int count = 0; count <= 19; ++count) {
        for (int offset = 0; offset < 4; ++offset) {
            std::vector<std::uint32_t> pixels(static_cast<std::size_t>(offset + count));
            std::vector<std::uint8_t> coverage(static_cast<std::size_t>(offset + count));
            for (std::size_t i = 0; i < pixels.size(); ++i) {
                pixels[i] = anyPixel(random) & 0x00FFFFFFU;
                coverage[i] = static_cast<std::uint8_t>(anyCoverage(random));
            }
            const std::uint32_t colour = anyPixel(random) & 0x00FFFFFFU;
            std::vector<std::uint32_t> expected = pixels;
            BlendRowOneByOne(expected.data() + offset, coverage.data() + offset, count, platform::XrgbColour{colour});
            BlendRow(pixels.data() + offset, coverage.data() + offset, count, platform::XrgbColour{colour});
            EXPECT_EQ(pixels, expected) << count << " pixels from " << offset;
        }
    }
}

}  // namespace
