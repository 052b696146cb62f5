#include "platform/raster/coverage_blend.h"

#include <cstring>

#include "platform/raster/over_four.h"

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

#if defined(__SSE2__)

void BlendRow(std::uint32_t* pixels, const std::uint8_t* coverage, int count, XrgbColour colour) {
    const __m128i spread = SpreadColour(colour);
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        std::uint32_t four = 0;
        std::memcpy(&four, coverage + i, sizeof four);
        const __m128i bytes = _mm_cvtsi32_si128(static_cast<int>(four));
        const __m128i zero = _mm_setzero_si128();
        const __m128i weights = WeightsOf(_mm_unpacklo_epi16(_mm_unpacklo_epi8(bytes, zero), zero));
        auto* at = reinterpret_cast<__m128i*>(pixels + i);
        _mm_storeu_si128(at, OverFour(_mm_loadu_si128(at), weights, spread));
    }
    BlendRowOneByOne(pixels + i, coverage + i, count - i, colour);
}

#else

void BlendRow(std::uint32_t* pixels, const std::uint8_t* coverage, int count, XrgbColour colour) {
    BlendRowOneByOne(pixels, coverage, count, colour);
}

#endif

}  // namespace platform
