#include "platform/raster/capsule_coverage.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "platform/raster/coverage_blend.h"
#include "platform/raster/coverage_steps.h"
#include "platform/raster/over_four.h"

namespace platform {
namespace {

std::uint8_t BandCoverage(const BandRow& row, int i) {
    const float distance = std::abs(row.across + row.step * static_cast<float>(i));
    const float coverage = std::min(std::max(row.edge - distance, 0.0F), 1.0F);
    return CoverageSteps(coverage);
}

// Coverage for up to four pixels, as it is blended at a time.
constexpr int kFour = 4;
using Four = std::array<std::uint8_t, kFour>;

// Pixels `first` to `count` of a row by the one-at-a-time definitions, up to
// four at a time: where there are no four-at-a-time paths, and for the
// pixels after the last whole four where there are.
void PaintBandRowFrom(const BandRow& row, int first, int count, XrgbColour colour, std::uint32_t* pixels) {
    Four values{};
    for (int i = first; i < count; i += kFour) {
        const int n = std::min(kFour, count - i);
        for (int k = 0; k < n; ++k) {
            values.at(k) = BandCoverage(row, i + k);
        }
        BlendRowOneByOne(pixels + i, values.data(), n, colour);
    }
}

void PaintCapsuleRowFrom(const CapsuleRow& row, int x0, int first, int count, XrgbColour colour,
                         std::uint32_t* pixels) {
    Four values{};
    for (int i = first; i < count; i += kFour) {
        const int n = std::min(kFour, count - i);
        CoverCapsuleRowOneByOne(row, x0 + i, n, values.data());
        BlendRowOneByOne(pixels + i, values.data(), n, colour);
    }
}

}  // namespace

// The nearest point of the segment is at t along it, t kept to [0, 1].
void CoverCapsuleRowOneByOne(const CapsuleRow& row, int x0, int count, std::uint8_t* values) {
    const float ry = row.py - row.y1;
    for (int i = 0; i < count; ++i) {
        const float rx = (static_cast<float>(x0 + i) + 0.5F) - row.x1;
        const float t = std::min(std::max((rx * row.dx + ry * row.dy) * row.inverseLengthSquared, 0.0F), 1.0F);
        const float qx = rx - t * row.dx;
        const float qy = ry - t * row.dy;
        const float coverage = std::min(std::max(row.edge - std::sqrt(qx * qx + qy * qy), 0.0F), 1.0F);
        values[i] = CoverageSteps(coverage);
    }
}

void CoverBandRowOneByOne(const BandRow& row, int count, std::uint8_t* values) {
    for (int i = 0; i < count; ++i) {
        values[i] = BandCoverage(row, i);
    }
}

#if defined(__SSE2__)

namespace {

// Four coverages in [0, 1] as weights for OverFour, rounded as CoverageSteps rounds.
inline __m128i WeightsOfCoverage(__m128 coverage) {
    return WeightsOf(_mm_cvttps_epi32(_mm_add_ps(_mm_mul_ps(coverage, _mm_set1_ps(255.0F)), _mm_set1_ps(0.5F))));
}

inline void PaintFour(std::uint32_t* pixels, __m128 coverage, __m128i spread) {
    auto* at = reinterpret_cast<__m128i*>(pixels);
    _mm_storeu_si128(at, OverFour(_mm_loadu_si128(at), WeightsOfCoverage(coverage), spread));
}

inline __m128 KeptToOne(__m128 value) { return _mm_min_ps(_mm_max_ps(value, _mm_setzero_ps()), _mm_set1_ps(1.0F)); }

}  // namespace

void PaintBandRow(const BandRow& row, int count, XrgbColour colour, std::uint32_t* pixels) {
    const __m128i spread = SpreadColour(colour);
    const __m128 step = _mm_set1_ps(row.step);
    const __m128 edge = _mm_set1_ps(row.edge);
    const __m128 signBit = _mm_set1_ps(-0.0F);
    const __m128 lanes = _mm_setr_ps(0.0F, 1.0F, 2.0F, 3.0F);
    const __m128 across = _mm_set1_ps(row.across);
    int i = 0;
    for (; i + kFour <= count; i += kFour) {
        const __m128 index = _mm_add_ps(_mm_set1_ps(static_cast<float>(i)), lanes);
        const __m128 distance = _mm_andnot_ps(signBit, _mm_add_ps(across, _mm_mul_ps(step, index)));
        PaintFour(pixels + i, KeptToOne(_mm_sub_ps(edge, distance)), spread);
    }
    PaintBandRowFrom(row, i, count, colour, pixels);
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
    PaintCapsuleRowFrom(row, x0, i, count, colour, pixels);
}

#else

void PaintBandRow(const BandRow& row, int count, XrgbColour colour, std::uint32_t* pixels) {
    PaintBandRowFrom(row, 0, count, colour, pixels);
}

void PaintCapsuleRow(const CapsuleRow& row, int x0, int count, XrgbColour colour, std::uint32_t* pixels) {
    PaintCapsuleRowFrom(row, x0, 0, count, colour, pixels);
}

#endif

}  // namespace platform
