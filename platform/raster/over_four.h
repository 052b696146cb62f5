#pragma once

// Compositing four pixels at a time with SSE2, shared by the blend of stored
// coverage and by the strokes that blend as they go. Without SSE2 nothing
// here is defined and the callers take their one-pixel-at-a-time paths.

#if defined(__SSE2__)

#include <emmintrin.h>

#if defined(__wasm_simd128__)
#include <wasm_simd128.h>
#endif

#include <cstdint>

#include "platform/raster/pixel_colour.h"

namespace platform {

// A colour's four bytes in 16-bit lanes, for each of two pixels.
inline __m128i SpreadColour(PixelColour colour) {
    return _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(colour.Value())), _mm_setzero_si128());
}

// Four floats of 0 to 256 truncated to integers. In WebAssembly a
// conversion saturates, and on x86 that takes a handful of instructions
// more than SSE2's own (emscripten's _mm_cvttps_epi32 goes a lane at a
// time): instead, a whole number below 2^23 added to 2^23 lies in the
// float's low bits.
inline __m128i TruncatedSmall(__m128 values) {
#if defined(__wasm_simd128__)
    const v128_t whole = wasm_f32x4_add(wasm_f32x4_floor(static_cast<v128_t>(values)), wasm_f32x4_splat(8388608.0F));
    return static_cast<__m128i>(wasm_i32x4_sub(whole, wasm_i32x4_splat(0x4B000000)));
#else
    return _mm_cvttps_epi32(values);
#endif
}

// Coverages 0..255 in 32-bit lanes as weights 0..256, so that whole
// coverage is exact.
inline __m128i WeightsOf(__m128i coverage) { return _mm_add_epi32(coverage, _mm_srli_epi32(coverage, 7)); }

// Each weight (32-bit lane i) over the four 16-bit lanes of pixel i: pixels
// 0 and 1 in `low`, 2 and 3 in `high`.
inline void SpreadWeights(__m128i weights, __m128i& low, __m128i& high) {
    const __m128i packed = _mm_packs_epi32(weights, weights);
    const __m128i pairs = _mm_unpacklo_epi16(packed, packed);
    low = _mm_unpacklo_epi32(pairs, pairs);
    high = _mm_unpackhi_epi32(pairs, pairs);
}

// Composites the colour (SpreadColour) over four pixels, pixel i as far as
// weight i (0..256, in 32-bit lane i) goes, as the definition does:
// (p (256 - w) + c w) / 256 rounded down, which is p + (c - p) w / 256
// rounded down. That lies in 0..255 for every byte, so it is exact modulo
// 256: the high byte of the low 16 bits of (c - p) w, added to p a byte at a
// time. A byte that picture and colour share stays as it is.
inline __m128i OverFour(__m128i pixels, __m128i weights, __m128i colour) {
    __m128i low;
    __m128i high;
    SpreadWeights(weights, low, high);
    const __m128i zero = _mm_setzero_si128();
    const __m128i lowSteps = _mm_mullo_epi16(_mm_sub_epi16(colour, _mm_unpacklo_epi8(pixels, zero)), low);
    const __m128i highSteps = _mm_mullo_epi16(_mm_sub_epi16(colour, _mm_unpackhi_epi8(pixels, zero)), high);
    return _mm_add_epi8(pixels, _mm_packus_epi16(_mm_srli_epi16(lowSteps, 8), _mm_srli_epi16(highSteps, 8)));
}

}  // namespace platform

#endif
