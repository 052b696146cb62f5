#include "platform/coverage_blend.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

void BlendRowOneByOne(std::uint32_t* pixels, const std::uint8_t* coverage, int count, std::uint32_t rgb) {
    for (int i = 0; i < count; ++i) {
        pixels[i] = Over(pixels[i], rgb, coverage[i]);
    }
}

#if defined(__SSE2__)

// Four pixels at a time, each channel in a 16-bit lane: with the weights
// adding up to 256, channel x weight + colour x weight fits 16 bits.
void BlendRow(std::uint32_t* pixels, const std::uint8_t* coverage, int count, std::uint32_t rgb) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i full = _mm_set1_epi16(256);
    const __m128i rgbOnly = _mm_set1_epi32(0x00FFFFFF);
    const __m128i colour = _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(rgb & 0x00FFFFFFU)), zero);
    int i = 0;
    for (; i + 4 <= count; i += 4) {
        std::uint32_t four = 0;
        std::memcpy(&four, coverage + i, sizeof four);
        // The four coverages as weights, each repeated over its pixel's four lanes.
        __m128i alpha = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(four)), zero);
        alpha = _mm_add_epi16(alpha, _mm_srli_epi16(alpha, 7));
        alpha = _mm_unpacklo_epi16(alpha, alpha);
        const __m128i alphaLow = _mm_unpacklo_epi32(alpha, alpha);
        const __m128i alphaHigh = _mm_unpackhi_epi32(alpha, alpha);
        const __m128i destination = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pixels + i));
        const __m128i low = _mm_unpacklo_epi8(destination, zero);
        const __m128i high = _mm_unpackhi_epi8(destination, zero);
        const __m128i blendedLow = _mm_srli_epi16(
            _mm_add_epi16(_mm_mullo_epi16(low, _mm_sub_epi16(full, alphaLow)), _mm_mullo_epi16(colour, alphaLow)), 8);
        const __m128i blendedHigh = _mm_srli_epi16(
            _mm_add_epi16(_mm_mullo_epi16(high, _mm_sub_epi16(full, alphaHigh)), _mm_mullo_epi16(colour, alphaHigh)),
            8);
        // The unused top byte comes out 0, as a pixel at a time.
        const __m128i blended = _mm_and_si128(_mm_packus_epi16(blendedLow, blendedHigh), rgbOnly);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pixels + i), blended);
    }
    BlendRowOneByOne(pixels + i, coverage + i, count - i, rgb);
}

#else

void BlendRow(std::uint32_t* pixels, const std::uint8_t* coverage, int count, std::uint32_t rgb) {
    BlendRowOneByOne(pixels, coverage, count, rgb);
}

#endif

}  // namespace platform
