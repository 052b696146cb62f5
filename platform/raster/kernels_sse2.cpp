// The row kernels four pixels at a time with SSE2, which every x86-64
// processor has; the pixels after the last whole four go a pixel at a time.
// The same compiler flags as the rest of the program: no wider instruction
// may creep in.

#include <algorithm>
#include <array>
#include <cstring>
#include <span>

#include "platform/raster/coverage_blend.h"
#include "platform/raster/over_four.h"
#include "platform/raster/row_kernels.h"

#if defined(__SSE2__)

namespace platform {
namespace {

constexpr int kFour = 4;

// The pixels from `first` on by the definitions.
void PaintBandTail(const SegmentRow& row, std::uint32_t* pixels, int first, float step, float edge, XrgbColour colour) {
    std::array<std::uint8_t, kFour> coverage{};
    for (int i = first; i < row.to - row.from; i += kFour) {
        const int n = std::min(kFour, row.to - row.from - i);
        CoverBandRowOneByOne({row.across, step, edge}, i, n, coverage.data());
        BlendRowOneByOne(pixels + i, coverage.data(), n, colour);
    }
}

void PaintCapsuleTail(const CapsuleRow& row, int x0, int first, int count, XrgbColour colour, std::uint32_t* pixels) {
    std::array<std::uint8_t, kFour> coverage{};
    for (int i = first; i < count; i += kFour) {
        const int n = std::min(kFour, count - i);
        CoverCapsuleRowOneByOne(row, x0 + i, n, coverage.data());
        BlendRowOneByOne(pixels + i, coverage.data(), n, colour);
    }
}

// Four coverages in [0, 1] as weights for OverFour, rounded as CoverageSteps rounds.
inline __m128i WeightsOfCoverage(__m128 coverage) {
    return WeightsOf(_mm_cvttps_epi32(_mm_add_ps(_mm_mul_ps(coverage, _mm_set1_ps(255.0F)), _mm_set1_ps(0.5F))));
}

inline void PaintFour(std::uint32_t* pixels, __m128 coverage, __m128i spread) {
    auto* at = reinterpret_cast<__m128i*>(pixels);
    _mm_storeu_si128(at, OverFour(_mm_loadu_si128(at), WeightsOfCoverage(coverage), spread));
}

inline __m128 KeptToOne(__m128 value) { return _mm_min_ps(_mm_max_ps(value, _mm_setzero_ps()), _mm_set1_ps(1.0F)); }

void PaintBandRows(std::uint8_t* image, std::ptrdiff_t stride, const SegmentRow* rows, int rowCount, float step,
                   float edge, XrgbColour colour) {
    const __m128i spread = SpreadColour(colour);
    const __m128 steps = _mm_set1_ps(step);
    const __m128 edges = _mm_set1_ps(edge);
    const __m128 signBit = _mm_set1_ps(-0.0F);
    const __m128 lanes = _mm_setr_ps(0.0F, 1.0F, 2.0F, 3.0F);
    for (const SegmentRow& row : std::span(rows, static_cast<std::size_t>(rowCount))) {
        if (!row.band) {
            continue;
        }
        auto* pixels = reinterpret_cast<std::uint32_t*>(image + row.y * stride) + row.from;
        const __m128 across = _mm_set1_ps(row.across);
        int i = 0;
        for (; i + kFour <= row.to - row.from; i += kFour) {
            const __m128 index = _mm_add_ps(_mm_set1_ps(static_cast<float>(i)), lanes);
            const __m128 distance = _mm_andnot_ps(signBit, _mm_add_ps(across, _mm_mul_ps(steps, index)));
            PaintFour(pixels + i, KeptToOne(_mm_sub_ps(edges, distance)), spread);
        }
        PaintBandTail(row, pixels, i, step, edge, colour);
    }
}

void PaintCapsuleRow(const CapsuleRow& row, int x0, int count, XrgbColour colour, std::uint32_t* pixels) {
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
    PaintCapsuleTail(row, x0, i, count, colour, pixels);
}

void BlendRow(std::uint32_t* pixels, const std::uint8_t* coverage, int count, XrgbColour colour) {
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

void FillRow(std::uint32_t* pixels, int count, XrgbColour colour) {
    const __m128i four = _mm_set1_epi32(static_cast<int>(colour.Value()));
    int i = 0;
    for (; i + kFour <= count; i += kFour) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pixels + i), four);
    }
    std::fill(pixels + i, pixels + count, colour.Value());
}

void FillSpans(std::uint8_t* image, std::ptrdiff_t stride, const Span* spans, int spanCount, XrgbColour colour) {
    for (const Span& span : std::span(spans, static_cast<std::size_t>(spanCount))) {
        FillRow(reinterpret_cast<std::uint32_t*>(image + span.y * stride) + span.x0, span.x1 - span.x0, colour);
    }
}

// The rows are planned a row at a time, as defined.
constexpr RowKernels kSse2{"SSE2, four pixels at a time",
                           PlanMiddleRowsOneByOne,
                           PaintCapsuleRow,
                           PaintBandRows,
                           BlendRow,
                           FillRow,
                           FillSpans};

}  // namespace

const RowKernels& Sse2Kernels() { return kSse2; }

}  // namespace platform

#else

// A processor without SSE2 (not an x86-64) takes the definitions.
const platform::RowKernels& platform::Sse2Kernels() { return OneByOneKernels(); }

#endif
