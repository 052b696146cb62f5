// The row kernels four pixels at a time with SSE2, which every x86-64
// processor has; the pixels after the last whole four go a pixel at a time.
// The same compiler flags as the rest of the program: no wider instruction
// may creep in.

#include <algorithm>
#include <cstring>
#include <span>

#include "platform/raster/coverage_blend.h"
#if defined(__wasm_simd128__)
#include "platform/raster/middle_rows_wasm.h"
#endif
#include "platform/raster/over_four.h"
#include "platform/raster/row_kernels.h"

#if defined(__SSE2__)

namespace platform {
namespace {

constexpr int kFour = 4;

// Four coverages in [0, 1] as weights for OverFour, rounded as CoverageSteps rounds.
inline __m128i WeightsOfCoverage(__m128 coverage) {
    return WeightsOf(TruncatedSmall(_mm_add_ps(_mm_mul_ps(coverage, _mm_set1_ps(255.0F)), _mm_set1_ps(0.5F))));
}

inline void PaintFour(std::uint32_t* pixels, __m128 coverage, __m128i spread) {
    auto* at = reinterpret_cast<__m128i*>(pixels);
    _mm_storeu_si128(at, OverFour(_mm_loadu_si128(at), WeightsOfCoverage(coverage), spread));
}

// minps and maxps are one WebAssembly instruction each, pmin and pmax, which
// emscripten's SSE2 does not use.
inline __m128 KeptToOne(__m128 value) {
#if defined(__wasm_simd128__)
    return wasm_f32x4_pmin(wasm_f32x4_splat(1.0F), wasm_f32x4_pmax(wasm_f32x4_splat(0.0F), value));
#else
    return _mm_min_ps(_mm_max_ps(value, _mm_setzero_ps()), _mm_set1_ps(1.0F));
#endif
}

// What every four of a band row needs: the run's distance at its first
// pixel, its step, the stroke's edge and the colour.
struct Band {
    __m128 across;
    __m128 steps;
    __m128 edges;
    __m128i spread;
};

// `kFours` fours of a band row from the pixels at `index` (0, 1, 2, 3 from
// the run's first), each worked out beside the others: a row is a few
// fours, and they do not wait on each other.
template <int kFours>
inline void PaintBandFours(std::uint32_t* pixels, __m128 index, const Band& band) {
    const __m128 signBit = _mm_set1_ps(-0.0F);
    for (int k = 0; k < kFours; ++k) {
        const __m128 at = _mm_add_ps(index, _mm_set1_ps(static_cast<float>(k * kFour)));
        const __m128 distance = _mm_andnot_ps(signBit, _mm_add_ps(band.across, _mm_mul_ps(band.steps, at)));
        PaintFour(pixels + static_cast<std::ptrdiff_t>(k) * kFour, KeptToOne(_mm_sub_ps(band.edges, distance)),
                  band.spread);
    }
}

void PaintBandRows(std::uint8_t* image, std::ptrdiff_t stride, const SegmentRow* rows, int rowCount, float step,
                   float edge, PixelColour colour) {
    constexpr int kMost = 3;
    Band band{_mm_setzero_ps(), _mm_set1_ps(step), _mm_set1_ps(edge), SpreadColour(colour)};
    for (const SegmentRow& row : std::span(rows, static_cast<std::size_t>(rowCount))) {
        if (!row.band) {
            continue;
        }
        auto* pixels = reinterpret_cast<std::uint32_t*>(image + row.y * stride) + row.from;
        band.across = _mm_set1_ps(row.across);
        const int count = row.to - row.from;
        // Pixel indices are whole numbers, exact as floats however they are added.
        __m128 index = _mm_setr_ps(0.0F, 1.0F, 2.0F, 3.0F);
        int i = 0;
        for (; i + kMost * kFour <= count; i += kMost * kFour) {
            PaintBandFours<kMost>(pixels + i, index, band);
            index = _mm_add_ps(index, _mm_set1_ps(static_cast<float>(kMost * kFour)));
        }
        if (i + 2 * kFour <= count) {
            PaintBandFours<2>(pixels + i, index, band);
            i += 2 * kFour;
        } else if (i + kFour <= count) {
            PaintBandFours<1>(pixels + i, index, band);
            i += kFour;
        }
        PaintBandRowOneByOne(row, pixels, i, step, edge, colour);
    }
}

void PaintCapsuleRow(const CapsuleRow& row, int x0, int count, PixelColour colour, std::uint32_t* pixels) {
    const __m128i spread = SpreadColour(colour);
    const __m128 dx = _mm_set1_ps(row.dx);
    const __m128 dy = _mm_set1_ps(row.dy);
    const __m128 inverseLengthSquared = _mm_set1_ps(row.inverseLengthSquared);
    const __m128 edge = _mm_set1_ps(row.edge);
    const __m128 ry = _mm_set1_ps(row.py - row.y1);
    const __m128 ryDy = _mm_mul_ps(ry, dy);
    const __m128 centres = _mm_setr_ps(0.5F, 1.5F, 2.5F, 3.5F);
    const __m128 x1 = _mm_set1_ps(row.x1);
    int i = 0;
    for (; i + kFour <= count; i += kFour) {
        const __m128 rx = _mm_sub_ps(_mm_add_ps(_mm_set1_ps(static_cast<float>(x0 + i)), centres), x1);
        const __m128 t = KeptToOne(_mm_mul_ps(_mm_add_ps(_mm_mul_ps(rx, dx), ryDy), inverseLengthSquared));
        const __m128 qx = _mm_sub_ps(rx, _mm_mul_ps(t, dx));
        const __m128 qy = _mm_sub_ps(ry, _mm_mul_ps(t, dy));
        const __m128 distance = _mm_sqrt_ps(_mm_add_ps(_mm_mul_ps(qx, qx), _mm_mul_ps(qy, qy)));
        PaintFour(pixels + i, KeptToOne(_mm_sub_ps(edge, distance)), spread);
    }
    PaintCapsuleRowOneByOne(row, x0 + i, count - i, colour, pixels + i);
}

void BlendRow(std::uint32_t* pixels, const std::uint8_t* coverage, int count, PixelColour colour) {
    const __m128i spread = SpreadColour(colour);
    int i = 0;
    for (; i + kFour <= count; i += kFour) {
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

void FillRow(std::uint32_t* pixels, int count, PixelColour colour) {
    const __m128i four = _mm_set1_epi32(static_cast<int>(colour.Value()));
    int i = 0;
    // Eight at a time where the run has them: most runs are a few fours.
    for (; i + 2 * kFour <= count; i += 2 * kFour) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pixels + i), four);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pixels + i + kFour), four);
    }
    if (i + kFour <= count) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pixels + i), four);
        i += kFour;
    }
    std::fill(pixels + i, pixels + count, colour.Value());
}

void FillSpans(std::uint8_t* image, std::ptrdiff_t stride, const Span* spans, int spanCount, PixelColour colour) {
    for (const Span& span : std::span(spans, static_cast<std::size_t>(spanCount))) {
        FillRow(reinterpret_cast<std::uint32_t*>(image + span.y * stride) + span.x0, span.x1 - span.x0, colour);
    }
}

#if defined(__wasm_simd128__)
// As WebAssembly SIMD (the browser's page) the middle rows are planned four
// at a time; as SSE2 a row at a time, as defined.
constexpr const char* kName = "SSE2 as WebAssembly SIMD, four pixels at a time";
constexpr auto kPlanMiddleRows = PlanMiddleRowsWasm;
#else
constexpr const char* kName = "SSE2, four pixels at a time";
constexpr auto kPlanMiddleRows = PlanMiddleRowsOneByOne;
#endif
constexpr RowKernels kSse2{kName, kPlanMiddleRows, PaintCapsuleRow, PaintBandRows, BlendRow, FillRow, FillSpans};

}  // namespace

const RowKernels& Sse2Kernels() { return kSse2; }

}  // namespace platform

#else

// Built for a processor without SSE2 (not an x86-64): the definitions.
const platform::RowKernels& platform::Sse2Kernels() { return OneByOneKernels(); }

#endif
