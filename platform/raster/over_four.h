#pragma once

// Compositing four pixels at a time with SSE2, shared by the blend of stored
// coverage and by the strokes that blend as they go. Without SSE2 nothing
// here is defined and the callers take their one-pixel-at-a-time paths.

#if defined(__SSE2__)

#include <emmintrin.h>

#include <cstdint>

#include "platform/raster/xrgb_colour.h"

namespace platform {

// A colour's three channels in 16-bit lanes, for each of two pixels.
inline __m128i SpreadColour(XrgbColour colour) {
    return _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(colour.Value())), _mm_setzero_si128());
}

// Coverages 0..255 in 32-bit lanes as weights 0..256 in the four low 16-bit
// lanes, so that whole coverage is exact.
inline __m128i WeightsOf(__m128i coverage) {
    const __m128i weights = _mm_add_epi32(coverage, _mm_srli_epi32(coverage, 7));
    return _mm_packs_epi32(weights, weights);
}

// Composites the colour over four xRGB pixels, pixel i as far as weight i
// (0..256, in 16-bit lane i) goes. Each channel works in a 16-bit lane: with
// the two weights adding up to 256, pixel x weight + colour x weight fits.
// The unused top byte comes out 0.
inline __m128i OverFour(__m128i pixels, __m128i weights, __m128i colour) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i full = _mm_set1_epi16(256);
    // Each weight repeated over its pixel's four lanes.
    const __m128i pairs = _mm_unpacklo_epi16(weights, weights);
    const __m128i low = _mm_unpacklo_epi32(pairs, pairs);
    const __m128i high = _mm_unpackhi_epi32(pairs, pairs);
    const auto blend = [&](__m128i channels, __m128i alpha) {
        const __m128i kept = _mm_mullo_epi16(channels, _mm_sub_epi16(full, alpha));
        return _mm_srli_epi16(_mm_add_epi16(kept, _mm_mullo_epi16(colour, alpha)), 8);
    };
    const __m128i blended =
        _mm_packus_epi16(blend(_mm_unpacklo_epi8(pixels, zero), low), blend(_mm_unpackhi_epi8(pixels, zero), high));
    return _mm_and_si128(blended, _mm_set1_epi32(0x00FFFFFF));
}

}  // namespace platform

#endif
