#include "platform/raster/coverage_blend.h"

namespace platform {
namespace {

// Coverage 0..255 as a weight of 0..256, so that whole coverage is exact.
constexpr std::uint32_t Weight(std::uint32_t coverage) { return coverage + (coverage >> 7); }

// Red and blue are blended together in one word, green beside them.
std::uint32_t Over(std::uint32_t destination, std::uint32_t source, std::uint32_t coverage) {
    const std::uint32_t alpha = Weight(coverage);
    const std::uint32_t keep = 256 - alpha;
    const std::uint32_t redBlue = ((destination & 0xFF00FFU) * keep + (source & 0xFF00FFU) * alpha) >> 8;
    const std::uint32_t green = ((destination & 0x00FF00U) * keep + (source & 0x00FF00U) * alpha) >> 8;
    return (redBlue & 0xFF00FFU) | (green & 0x00FF00U);
}

}  // namespace

void BlendRowOneByOne(std::uint32_t* pixels, const std::uint8_t* coverage, int count, XrgbColour colour) {
    for (int i = 0; i < count; ++i) {
        pixels[i] = Over(pixels[i], colour.Value(), coverage[i]);
    }
}

}  // namespace platform
