// The row kernels eight pixels at a time with AVX2, chosen at run time where
// the processor has it. This file alone is built for AVX2: so that nothing
// of it can stand in for code the other files share (an inline function's
// one copy, say) and run on a processor without AVX2, everything here is
// its own, and what it calls elsewhere (the definitions, for the last few
// pixels of a row) is built for every processor. It computes each pixel
// exactly as the definitions do, lane by lane: the same bits.

#include <immintrin.h>

#include <cstdint>
#include <cstring>

#include "platform/raster/coverage_blend.h"
#include "platform/raster/row_kernels.h"

namespace platform {
namespace {

constexpr int kEight = 8;
constexpr int kFour = 4;

// The colour's bits, without calling into the colour's own code.
std::uint32_t BitsOf(const XrgbColour& colour) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &colour, sizeof bits);
    return bits;
}

// Coverage in [0, 1] as weights 0..256 in 32-bit lanes, rounded as
// CoverageSteps rounds and widened as the blend widens them.
__m256i WeightsOfCoverage(__m256 coverage) {
    const __m256i steps =
        _mm256_cvttps_epi32(_mm256_add_ps(_mm256_mul_ps(coverage, _mm256_set1_ps(255.0F)), _mm256_set1_ps(0.5F)));
    return _mm256_add_epi32(steps, _mm256_srli_epi32(steps, 7));
}

__m128i WeightsOfCoverage(__m128 coverage) {
    const __m128i steps = _mm_cvttps_epi32(_mm_add_ps(_mm_mul_ps(coverage, _mm_set1_ps(255.0F)), _mm_set1_ps(0.5F)));
    return _mm_add_epi32(steps, _mm_srli_epi32(steps, 7));
}

__m256 KeptToOne(__m256 value) {
    return _mm256_min_ps(_mm256_max_ps(value, _mm256_setzero_ps()), _mm256_set1_ps(1.0F));
}

__m128 KeptToOne(__m128 value) { return _mm_min_ps(_mm_max_ps(value, _mm_setzero_ps()), _mm_set1_ps(1.0F)); }

// Each channel of a pixel blended in a 16-bit lane: with the two weights
// adding up to 256, pixel x weight + colour x weight fits.
__m256i Blend(__m256i channels, __m256i alpha, __m256i colour) {
    const __m256i kept = _mm256_mullo_epi16(channels, _mm256_sub_epi16(_mm256_set1_epi16(256), alpha));
    return _mm256_srli_epi16(_mm256_add_epi16(kept, _mm256_mullo_epi16(colour, alpha)), 8);
}

__m128i Blend(__m128i channels, __m128i alpha, __m128i colour) {
    const __m128i kept = _mm_mullo_epi16(channels, _mm_sub_epi16(_mm_set1_epi16(256), alpha));
    return _mm_srli_epi16(_mm_add_epi16(kept, _mm_mullo_epi16(colour, alpha)), 8);
}

// Composites the colour (its channels in 16-bit lanes, two pixels a
// 128-bit half) over eight pixels, pixel i as far as weight i goes. The
// unused top byte comes out 0.
void PaintEight(std::uint32_t* pixels, __m256i weights, __m256i colour) {
    auto* at = reinterpret_cast<__m256i*>(pixels);
    const __m256i pixelsNow = _mm256_loadu_si256(at);
    const __m256i zero = _mm256_setzero_si256();
    // Within each half: each weight repeated over its pixel's four lanes,
    // the halves' first two pixels and their last two apart, as the
    // pixels unpack.
    const __m256i words = _mm256_packs_epi32(weights, weights);
    const __m256i pairs = _mm256_unpacklo_epi16(words, words);
    const __m256i first = _mm256_unpacklo_epi32(pairs, pairs);
    const __m256i second = _mm256_unpackhi_epi32(pairs, pairs);
    const __m256i blended = _mm256_packus_epi16(Blend(_mm256_unpacklo_epi8(pixelsNow, zero), first, colour),
                                                Blend(_mm256_unpackhi_epi8(pixelsNow, zero), second, colour));
    _mm256_storeu_si256(at, _mm256_and_si256(blended, _mm256_set1_epi32(0x00FFFFFF)));
}

void PaintFour(std::uint32_t* pixels, __m128i weights, __m128i colour) {
    auto* at = reinterpret_cast<__m128i*>(pixels);
    const __m128i pixelsNow = _mm_loadu_si128(at);
    const __m128i zero = _mm_setzero_si128();
    const __m128i words = _mm_packs_epi32(weights, weights);
    const __m128i pairs = _mm_unpacklo_epi16(words, words);
    const __m128i first = _mm_unpacklo_epi32(pairs, pairs);
    const __m128i second = _mm_unpackhi_epi32(pairs, pairs);
    const __m128i blended = _mm_packus_epi16(Blend(_mm_unpacklo_epi8(pixelsNow, zero), first, colour),
                                             Blend(_mm_unpackhi_epi8(pixelsNow, zero), second, colour));
    _mm_storeu_si128(at, _mm_and_si128(blended, _mm_set1_epi32(0x00FFFFFF)));
}

__m256i SpreadColour(std::uint32_t rgb) {
    return _mm256_unpacklo_epi8(_mm256_set1_epi32(static_cast<int>(rgb)), _mm256_setzero_si256());
}

void PaintBandRuns(const BandRun* runs, int runCount, float step, float edge, XrgbColour colour) {
    const __m256i spread = SpreadColour(BitsOf(colour));
    const __m256 steps = _mm256_set1_ps(step);
    const __m256 edges = _mm256_set1_ps(edge);
    const __m256 signBit = _mm256_set1_ps(-0.0F);
    const __m256 lanes = _mm256_setr_ps(0.0F, 1.0F, 2.0F, 3.0F, 4.0F, 5.0F, 6.0F, 7.0F);
    for (int r = 0; r < runCount; ++r) {
        const BandRun& run = runs[r];
        const __m256 across = _mm256_set1_ps(run.across);
        int i = 0;
        for (; i + kEight <= run.count; i += kEight) {
            const __m256 index = _mm256_add_ps(_mm256_set1_ps(static_cast<float>(i)), lanes);
            const __m256 distance = _mm256_andnot_ps(signBit, _mm256_add_ps(across, _mm256_mul_ps(steps, index)));
            PaintEight(run.pixels + i, WeightsOfCoverage(KeptToOne(_mm256_sub_ps(edges, distance))), spread);
        }
        if (i + kFour <= run.count) {
            const __m128 index = _mm_add_ps(_mm_set1_ps(static_cast<float>(i)), _mm256_castps256_ps128(lanes));
            const __m128 distance = _mm_andnot_ps(_mm256_castps256_ps128(signBit),
                                                  _mm_add_ps(_mm256_castps256_ps128(across),
                                                             _mm_mul_ps(_mm256_castps256_ps128(steps), index)));
            PaintFour(run.pixels + i,
                      WeightsOfCoverage(KeptToOne(_mm_sub_ps(_mm256_castps256_ps128(edges), distance))),
                      _mm256_castsi256_si128(spread));
            i += kFour;
        }
        // At the image's right edge a run may end short of a four.
        for (std::uint8_t coverage = 0; i < run.count; ++i) {
            CoverBandRowOneByOne({run.across, step, edge}, i, 1, &coverage);
            BlendRowOneByOne(run.pixels + i, &coverage, 1, colour);
        }
    }
}

void PaintCapsuleRow(const CapsuleRow& row, int x0, int count, XrgbColour colour, std::uint32_t* pixels) {
    const __m256i spread = SpreadColour(BitsOf(colour));
    const __m256 dx = _mm256_set1_ps(row.dx);
    const __m256 dy = _mm256_set1_ps(row.dy);
    const __m256 inverseLengthSquared = _mm256_set1_ps(row.inverseLengthSquared);
    const __m256 edge = _mm256_set1_ps(row.edge);
    const __m256 ry = _mm256_set1_ps(row.py - row.y1);
    const __m256 ryDy = _mm256_mul_ps(ry, dy);
    const __m256 centres = _mm256_setr_ps(0.5F, 1.5F, 2.5F, 3.5F, 4.5F, 5.5F, 6.5F, 7.5F);
    const __m256 x1 = _mm256_set1_ps(row.x1);
    const auto coverageFrom = [&](__m256 column) {
        const __m256 rx = _mm256_sub_ps(_mm256_add_ps(column, centres), x1);
        const __m256 t = KeptToOne(_mm256_mul_ps(_mm256_add_ps(_mm256_mul_ps(rx, dx), ryDy), inverseLengthSquared));
        const __m256 qx = _mm256_sub_ps(rx, _mm256_mul_ps(t, dx));
        const __m256 qy = _mm256_sub_ps(ry, _mm256_mul_ps(t, dy));
        const __m256 distance = _mm256_sqrt_ps(_mm256_add_ps(_mm256_mul_ps(qx, qx), _mm256_mul_ps(qy, qy)));
        return KeptToOne(_mm256_sub_ps(edge, distance));
    };
    int i = 0;
    for (; i + kEight <= count; i += kEight) {
        PaintEight(pixels + i, WeightsOfCoverage(coverageFrom(_mm256_set1_ps(static_cast<float>(x0 + i)))), spread);
    }
    if (i + kFour <= count) {
        // The first four lanes of eight, and only those written.
        const __m128 coverage = _mm256_castps256_ps128(coverageFrom(_mm256_set1_ps(static_cast<float>(x0 + i))));
        PaintFour(pixels + i, WeightsOfCoverage(coverage), _mm256_castsi256_si128(spread));
        i += kFour;
    }
    if (i < count) {
        std::uint8_t coverage[kFour] = {};
        CoverCapsuleRowOneByOne(row, x0 + i, count - i, coverage);
        BlendRowOneByOne(pixels + i, coverage, count - i, colour);
    }
}

void BlendRow(std::uint32_t* pixels, const std::uint8_t* coverage, int count, XrgbColour colour) {
    const __m256i spread = SpreadColour(BitsOf(colour));
    int i = 0;
    for (; i + kEight <= count; i += kEight) {
        const __m256i steps = _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(coverage + i)));
        PaintEight(pixels + i, _mm256_add_epi32(steps, _mm256_srli_epi32(steps, 7)), spread);
    }
    if (i + kFour <= count) {
        std::int32_t four = 0;
        std::memcpy(&four, coverage + i, sizeof four);
        const __m128i steps = _mm_cvtepu8_epi32(_mm_cvtsi32_si128(four));
        PaintFour(pixels + i, _mm_add_epi32(steps, _mm_srli_epi32(steps, 7)), _mm256_castsi256_si128(spread));
        i += kFour;
    }
    BlendRowOneByOne(pixels + i, coverage + i, count - i, colour);
}

void FillRow(std::uint32_t* pixels, int count, XrgbColour colour) {
    const std::uint32_t bits = BitsOf(colour);
    const __m256i eight = _mm256_set1_epi32(static_cast<int>(bits));
    int i = 0;
    for (; i + kEight <= count; i += kEight) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(pixels + i), eight);
    }
    for (; i < count; ++i) {
        pixels[i] = bits;
    }
}

constexpr RowKernels kAvx2{"AVX2, eight pixels at a time", PaintCapsuleRow, PaintBandRuns, BlendRow, FillRow};

}  // namespace

const RowKernels* Avx2Kernels() { return __builtin_cpu_supports("avx2") ? &kAvx2 : nullptr; }

}  // namespace platform
