#include "platform/raster/coverage_blend.h"

namespace platform {
namespace {

// Coverage 0..255 as a weight of 0..256, so that whole coverage is exact.
constexpr std::uint32_t Weight(std::uint32_t coverage) { return coverage + (coverage >> 7); }

// Bytes 0 and 2 are blended together in one word, bytes 1 and 3 in another:
// the two weights add up to 256, so that each byte's sum keeps to its own 16
// bits, and a byte that picture and colour share stays as it is.
std::uint32_t Over(std::uint32_t destination, std::uint32_t source, std::uint32_t coverage) {
    const std::uint32_t alpha = Weight(coverage);
    const std::uint32_t keep = 256 - alpha;
    const std::uint32_t evenBytes = ((destination & 0x00FF00FFU) * keep + (source & 0x00FF00FFU) * alpha) >> 8;
    const std::uint32_t oddBytes = ((destination >> 8) & 0x00FF00FFU) * keep + ((source >> 8) & 0x00FF00FFU) * alpha;
    return (evenBytes & 0x00FF00FFU) | (oddBytes & 0xFF00FF00U);
}

}  // namespace

void BlendRowOneByOne(std::uint32_t* pixels, const std::uint8_t* coverage, int count, PixelColour colour) {
    for (int i = 0; i < count; ++i) {
        pixels[i] = Over(pixels[i], colour.Value(), coverage[i]);
    }
}

}  // namespace platform
