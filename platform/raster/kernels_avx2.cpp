// The row kernels eight pixels at a time with AVX2, chosen at run time where
// the processor has it. Only this file and the middle rows' planning are
// built for AVX2: so that nothing of them can stand in for code the other
// files share (an inline function's one copy, say) and run on a processor
// without AVX2, everything here is its own, and what it calls elsewhere (the
// definitions, for the last few pixels of a row) is built for every
// processor. It computes each pixel exactly as the definitions do, lane by
// lane: the same bits.

#include <immintrin.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "platform/raster/coverage_blend.h"
#include "platform/raster/middle_rows_avx2.h"
#include "platform/raster/row_kernels.h"

namespace platform {
namespace {

constexpr int kEight = 8;
constexpr int kFour = 4;
// A large image's rows lie far apart, and what a turning figure reaches
// anew was last touched too long ago to be in any cache: each row a trip to
// memory. In images this wide (4K and more) the rows this many ahead are
// asked for while these are worked on; smaller ones stay in the caches.
constexpr int kAhead = 16;
constexpr std::ptrdiff_t kFarApart = std::ptrdiff_t{3840} * 4;

// Asks for the cache lines of pixels [from, to) of a row: a short run's
// first and last.
void Prefetch(const std::uint8_t* row, int from, int to) {
    _mm_prefetch(reinterpret_cast<const char*>(row + std::ptrdiff_t{from} * 4), _MM_HINT_T0);
    _mm_prefetch(reinterpret_cast<const char*>(row + std::ptrdiff_t{to} * 4 - 4), _MM_HINT_T0);
}

// The colour's bits, without calling into the colour's own code.
std::uint32_t BitsOf(const PixelColour& colour) {
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

// Composites the colour over eight (or four) pixels, pixel i as far as
// weight i (0..256, in 32-bit lane i) goes, as the definition does: bytes 0
// and 2 blended together in one 32-bit lane, bytes 1 and 3 beside them,
// where the two weights adding up to 256 keep each byte's sum in its own 16
// bits. The colour comes as its even and its odd bytes, apart.
struct Colour8 {
    __m256i evenBytes;
    __m256i oddBytes;
};

void PaintEight(std::uint32_t* pixels, __m256i weights, const Colour8& colour) {
    auto* at = reinterpret_cast<__m256i*>(pixels);
    const __m256i pixelsNow = _mm256_loadu_si256(at);
    const __m256i evenMask = _mm256_set1_epi32(0x00FF00FF);
    const __m256i keep = _mm256_sub_epi32(_mm256_set1_epi32(256), weights);
    const __m256i evenBytes =
        _mm256_srli_epi32(_mm256_add_epi32(_mm256_mullo_epi32(_mm256_and_si256(pixelsNow, evenMask), keep),
                                           _mm256_mullo_epi32(colour.evenBytes, weights)),
                          8);
    const __m256i oddBytes =
        _mm256_add_epi32(_mm256_mullo_epi32(_mm256_and_si256(_mm256_srli_epi32(pixelsNow, 8), evenMask), keep),
                         _mm256_mullo_epi32(colour.oddBytes, weights));
    _mm256_storeu_si256(
        at, _mm256_or_si256(_mm256_and_si256(evenBytes, evenMask), _mm256_andnot_si256(evenMask, oddBytes)));
}

void PaintFour(std::uint32_t* pixels, __m128i weights, const Colour8& colour) {
    auto* at = reinterpret_cast<__m128i*>(pixels);
    const __m128i pixelsNow = _mm_loadu_si128(at);
    const __m128i evenMask = _mm_set1_epi32(0x00FF00FF);
    const __m128i keep = _mm_sub_epi32(_mm_set1_epi32(256), weights);
    const __m128i evenBytes =
        _mm_srli_epi32(_mm_add_epi32(_mm_mullo_epi32(_mm_and_si128(pixelsNow, evenMask), keep),
                                     _mm_mullo_epi32(_mm256_castsi256_si128(colour.evenBytes), weights)),
                       8);
    const __m128i oddBytes = _mm_add_epi32(_mm_mullo_epi32(_mm_and_si128(_mm_srli_epi32(pixelsNow, 8), evenMask), keep),
                                           _mm_mullo_epi32(_mm256_castsi256_si128(colour.oddBytes), weights));
    _mm_storeu_si128(at, _mm_or_si128(_mm_and_si128(evenBytes, evenMask), _mm_andnot_si128(evenMask, oddBytes)));
}

Colour8 SpreadColour(std::uint32_t pixel) {
    return {_mm256_set1_epi32(static_cast<int>(pixel & 0x00FF00FFU)),
            _mm256_set1_epi32(static_cast<int>((pixel >> 8) & 0x00FF00FFU))};
}

template <bool kPrefetch>
void PaintBandRowsAhead(std::uint8_t* image, std::ptrdiff_t stride, const SegmentRow* rows, int rowCount, float step,
                        float edge, PixelColour colour) {
    const Colour8 spread = SpreadColour(BitsOf(colour));
    const __m256 steps = _mm256_set1_ps(step);
    const __m256 edges = _mm256_set1_ps(edge);
    const __m256 signBit = _mm256_set1_ps(-0.0F);
    const __m256 lanes = _mm256_setr_ps(0.0F, 1.0F, 2.0F, 3.0F, 4.0F, 5.0F, 6.0F, 7.0F);
    for (int r = 0; r < rowCount; ++r) {
        const SegmentRow& row = rows[r];
        if (kPrefetch && r + kAhead < rowCount) {
            const SegmentRow& later = rows[r + kAhead];
            Prefetch(image + later.y * stride, later.from, later.to);
        }
        if (!row.band) {
            continue;
        }
        auto* pixels = reinterpret_cast<std::uint32_t*>(image + row.y * stride) + row.from;
        const int count = row.to - row.from;
        const __m256 across = _mm256_set1_ps(row.across);
        int i = 0;
        for (; i + kEight <= count; i += kEight) {
            const __m256 index = _mm256_add_ps(_mm256_set1_ps(static_cast<float>(i)), lanes);
            const __m256 distance = _mm256_andnot_ps(signBit, _mm256_add_ps(across, _mm256_mul_ps(steps, index)));
            PaintEight(pixels + i, WeightsOfCoverage(KeptToOne(_mm256_sub_ps(edges, distance))), spread);
        }
        if (i + kFour <= count) {
            const __m128 index = _mm_add_ps(_mm_set1_ps(static_cast<float>(i)), _mm256_castps256_ps128(lanes));
            const __m128 distance = _mm_andnot_ps(
                _mm256_castps256_ps128(signBit),
                _mm_add_ps(_mm256_castps256_ps128(across), _mm_mul_ps(_mm256_castps256_ps128(steps), index)));
            PaintFour(pixels + i, WeightsOfCoverage(KeptToOne(_mm_sub_ps(_mm256_castps256_ps128(edges), distance))),
                      spread);
            i += kFour;
        }
        // At the image's right edge a run may end short of a four.
        PaintBandRowOneByOne(row, pixels, i, step, edge, colour);
    }
}

void PaintBandRows(std::uint8_t* image, std::ptrdiff_t stride, const SegmentRow* rows, int rowCount, float step,
                   float edge, PixelColour colour) {
    if (stride >= kFarApart) {
        PaintBandRowsAhead<true>(image, stride, rows, rowCount, step, edge, colour);
    } else {
        PaintBandRowsAhead<false>(image, stride, rows, rowCount, step, edge, colour);
    }
}

void PaintCapsuleRow(const CapsuleRow& row, int x0, int count, PixelColour colour, std::uint32_t* pixels) {
    const Colour8 spread = SpreadColour(BitsOf(colour));
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
        PaintFour(pixels + i, WeightsOfCoverage(coverage), spread);
        i += kFour;
    }
    PaintCapsuleRowOneByOne(row, x0 + i, count - i, colour, pixels + i);
}

void BlendRow(std::uint32_t* pixels, const std::uint8_t* coverage, int count, PixelColour colour) {
    const Colour8 spread = SpreadColour(BitsOf(colour));
    int i = 0;
    for (; i + kEight <= count; i += kEight) {
        const __m256i steps = _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(coverage + i)));
        PaintEight(pixels + i, _mm256_add_epi32(steps, _mm256_srli_epi32(steps, 7)), spread);
    }
    if (i + kFour <= count) {
        std::int32_t four = 0;
        std::memcpy(&four, coverage + i, sizeof four);
        const __m128i steps = _mm_cvtepu8_epi32(_mm_cvtsi32_si128(four));
        PaintFour(pixels + i, _mm_add_epi32(steps, _mm_srli_epi32(steps, 7)), spread);
        i += kFour;
    }
    BlendRowOneByOne(pixels + i, coverage + i, count - i, colour);
}

// Runs are whole fours but at the image's right edge.
inline __attribute__((always_inline)) void Fill(std::uint32_t* pixels, int count, std::uint32_t bits, __m256i eight) {
    int i = 0;
    for (; i + kEight <= count; i += kEight) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(pixels + i), eight);
    }
    if (i + kFour <= count) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pixels + i), _mm256_castsi256_si128(eight));
        i += kFour;
    }
    for (; i < count; ++i) {
        pixels[i] = bits;
    }
}

void FillRow(std::uint32_t* pixels, int count, PixelColour colour) {
    const std::uint32_t bits = BitsOf(colour);
    Fill(pixels, count, bits, _mm256_set1_epi32(static_cast<int>(bits)));
}

template <bool kPrefetch>
void FillSpansAhead(std::uint8_t* image, std::ptrdiff_t stride, const Span* spans, int spanCount, PixelColour colour) {
    const std::uint32_t bits = BitsOf(colour);
    const __m256i eight = _mm256_set1_epi32(static_cast<int>(bits));
    for (int s = 0; s < spanCount; ++s) {
        const Span& span = spans[s];
        if (kPrefetch && s + kAhead < spanCount) {
            const Span& later = spans[s + kAhead];
            Prefetch(image + later.y * stride, later.x0, later.x1);
        }
        Fill(reinterpret_cast<std::uint32_t*>(image + span.y * stride) + span.x0, span.x1 - span.x0, bits, eight);
    }
}

void FillSpans(std::uint8_t* image, std::ptrdiff_t stride, const Span* spans, int spanCount, PixelColour colour) {
    if (stride >= kFarApart) {
        FillSpansAhead<true>(image, stride, spans, spanCount, colour);
    } else {
        FillSpansAhead<false>(image, stride, spans, spanCount, colour);
    }
}

constexpr RowKernels kAvx2{
    "AVX2, eight pixels at a time", PlanMiddleRowsAvx2, PaintCapsuleRow, PaintBandRows, BlendRow, FillRow, FillSpans};

}  // namespace

const RowKernels* Avx2Kernels() { return __builtin_cpu_supports("avx2") ? &kAvx2 : nullptr; }

}  // namespace platform
