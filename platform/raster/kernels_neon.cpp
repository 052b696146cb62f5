// The row kernels four pixels at a time with NEON, which every AArch64
// processor has (a Raspberry Pi, an ARM laptop): chosen when the program is
// built, with no check when it runs. Each pixel is worked out as the
// definitions work it out, lane by lane, to the same bits: a multiply and an
// add never fused (the build keeps a * b + c two roundings), the clamps as
// std::min and std::max compare (NEON's own minimum and maximum differ on
// NaN and on the zeros' signs), and conversions only of coverages, which no
// saturation reaches. The pixels after the last whole four go a pixel at a
// time.

#include <arm_neon.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <span>

#include "platform/raster/coverage_blend.h"
#include "platform/raster/middle_rows_neon.h"
#include "platform/raster/row_kernels.h"

namespace platform {
namespace {

constexpr int kFour = 4;

// std::min(std::max(value, 0), 1) of numbers (never NaN), on their bits:
// a negative one's sign bit makes it 0, and among floats of no sign the
// bits order as the numbers do. (A -0 becomes +0 where std::max keeps it:
// both are no coverage, and a -0 squared or scaled is a 0 as well.)
inline float32x4_t KeptToOne(float32x4_t value) {
    const int32x4_t bits = vreinterpretq_s32_f32(value);
    const uint32x4_t atLeastZero = vreinterpretq_u32_s32(vbicq_s32(bits, vshrq_n_s32(bits, 31)));
    return vreinterpretq_f32_u32(vminq_u32(atLeastZero, vdupq_n_u32(0x3F800000U)));
}

// |value|: its sign bit cleared.
inline float32x4_t Magnitude(float32x4_t value) {
    return vreinterpretq_f32_u32(vbicq_u32(vreinterpretq_u32_f32(value), vdupq_n_u32(0x80000000U)));
}

// Coverages 0..255 in 32-bit lanes as weights 0..256, so that whole
// coverage is exact.
inline uint32x4_t WeightsOf(uint32x4_t coverage) { return vaddq_u32(coverage, vshrq_n_u32(coverage, 7)); }

// Four coverages in [0, 1] as weights, rounded as CoverageSteps rounds: a
// half added and the sum truncated, never negative.
inline uint32x4_t WeightsOfCoverage(float32x4_t coverage) {
    const float32x4_t scaled = vaddq_f32(vmulq_f32(coverage, vdupq_n_f32(255.0F)), vdupq_n_f32(0.5F));
    return WeightsOf(vreinterpretq_u32_s32(vcvtq_s32_f32(scaled)));
}

// The colour as its even bytes (0 and 2) and its odd ones (1 and 3), each
// pair apart in the 16-bit halves of a 32-bit lane.
struct Colour4 {
    uint32x4_t evenBytes;
    uint32x4_t oddBytes;
};

inline Colour4 SpreadColour(PixelColour colour) {
    const uint32x4_t bits = vdupq_n_u32(colour.Value());
    const uint32x4_t mask = vdupq_n_u32(0x00FF00FFU);
    return {vandq_u32(bits, mask), vandq_u32(vshrq_n_u32(bits, 8), mask)};
}

// Composites the colour over four pixels, pixel i as far as weight i
// (0..256, lane i) goes, a pixel to a 32-bit lane as the definition does
// it: bytes 0 and 2 blended together, bytes 1 and 3 beside them, where the
// two weights adding up to 256 keep each byte's sum in its own 16 bits. (In
// 32-bit lanes, not widened to 16-bit ones: every operation a plain one.)
inline void PaintFour(std::uint32_t* pixels, uint32x4_t weights, const Colour4& colour) {
    const uint32x4_t now = vld1q_u32(pixels);
    const uint32x4_t mask = vdupq_n_u32(0x00FF00FFU);
    const uint32x4_t keep = vsubq_u32(vdupq_n_u32(256), weights);
    const uint32x4_t evenBytes =
        vshrq_n_u32(vaddq_u32(vmulq_u32(vandq_u32(now, mask), keep), vmulq_u32(colour.evenBytes, weights)), 8);
    const uint32x4_t oddBytes =
        vaddq_u32(vmulq_u32(vandq_u32(vshrq_n_u32(now, 8), mask), keep), vmulq_u32(colour.oddBytes, weights));
    vst1q_u32(pixels, vorrq_u32(vandq_u32(evenBytes, mask), vandq_u32(oddBytes, vdupq_n_u32(0xFF00FF00U))));
}

// What every four of a band row needs: the run's distance at its first
// pixel, its step, the stroke's edge and the colour.
struct Band {
    float32x4_t across;
    float32x4_t steps;
    float32x4_t edges;
    Colour4 colour;
};

// `kFours` fours of a band row from the pixels at `index` (0, 1, 2, 3 from
// the run's first), each worked out beside the others: a row is a few
// fours, and they do not wait on each other.
template <int kFours>
inline void PaintBandFours(std::uint32_t* pixels, int32x4_t index, const Band& band) {
    for (int k = 0; k < kFours; ++k) {
        const float32x4_t at = vcvtq_f32_s32(vaddq_s32(index, vdupq_n_s32(k * kFour)));
        const float32x4_t distance = Magnitude(vaddq_f32(band.across, vmulq_f32(band.steps, at)));
        PaintFour(pixels + static_cast<std::ptrdiff_t>(k) * kFour,
                  WeightsOfCoverage(KeptToOne(vsubq_f32(band.edges, distance))), band.colour);
    }
}

void PaintBandRows(std::uint8_t* image, std::ptrdiff_t stride, const SegmentRow* rows, int rowCount, float step,
                   float edge, PixelColour colour) {
    constexpr int kMost = 3;
    Band band{vdupq_n_f32(0.0F), vdupq_n_f32(step), vdupq_n_f32(edge), SpreadColour(colour)};
    const std::array<std::int32_t, kFour> firstFour{0, 1, 2, 3};
    for (const SegmentRow& row : std::span(rows, static_cast<std::size_t>(rowCount))) {
        if (!row.band) {
            continue;
        }
        auto* pixels = reinterpret_cast<std::uint32_t*>(image + row.y * stride) + row.from;
        band.across = vdupq_n_f32(row.across);
        const int count = row.to - row.from;
        // Pixel indices counted as integers, exact as floats.
        int32x4_t index = vld1q_s32(firstFour.data());
        int i = 0;
        for (; i + kMost * kFour <= count; i += kMost * kFour) {
            PaintBandFours<kMost>(pixels + i, index, band);
            index = vaddq_s32(index, vdupq_n_s32(kMost * kFour));
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
    const Colour4 spread = SpreadColour(colour);
    const float32x4_t dx = vdupq_n_f32(row.dx);
    const float32x4_t dy = vdupq_n_f32(row.dy);
    const float32x4_t inverseLengthSquared = vdupq_n_f32(row.inverseLengthSquared);
    const float32x4_t edge = vdupq_n_f32(row.edge);
    const float32x4_t ry = vdupq_n_f32(row.py - row.y1);
    const float32x4_t ryDy = vmulq_f32(ry, dy);
    const std::array<float, kFour> centreOffsets{0.5F, 1.5F, 2.5F, 3.5F};
    const float32x4_t centres = vld1q_f32(centreOffsets.data());
    const float32x4_t x1 = vdupq_n_f32(row.x1);
    int i = 0;
    for (; i + kFour <= count; i += kFour) {
        const float32x4_t rx = vsubq_f32(vaddq_f32(vdupq_n_f32(static_cast<float>(x0 + i)), centres), x1);
        const float32x4_t t = KeptToOne(vmulq_f32(vaddq_f32(vmulq_f32(rx, dx), ryDy), inverseLengthSquared));
        const float32x4_t qx = vsubq_f32(rx, vmulq_f32(t, dx));
        const float32x4_t qy = vsubq_f32(ry, vmulq_f32(t, dy));
        const float32x4_t distance = vsqrtq_f32(vaddq_f32(vmulq_f32(qx, qx), vmulq_f32(qy, qy)));
        PaintFour(pixels + i, WeightsOfCoverage(KeptToOne(vsubq_f32(edge, distance))), spread);
    }
    PaintCapsuleRowOneByOne(row, x0 + i, count - i, colour, pixels + i);
}

void BlendRow(std::uint32_t* pixels, const std::uint8_t* coverage, int count, PixelColour colour) {
    const Colour4 spread = SpreadColour(colour);
    // Byte k of four coverages to lane k: shifted down by 8 k, the rest masked.
    const std::array<std::int32_t, kFour> down{0, -8, -16, -24};
    const int32x4_t shifts = vld1q_s32(down.data());
    int i = 0;
    for (; i + kFour <= count; i += kFour) {
        std::uint32_t four = 0;
        std::memcpy(&four, coverage + i, sizeof four);
        const uint32x4_t each = vandq_u32(vshlq_u32(vdupq_n_u32(four), shifts), vdupq_n_u32(0xFFU));
        PaintFour(pixels + i, WeightsOf(each), spread);
    }
    BlendRowOneByOne(pixels + i, coverage + i, count - i, colour);
}

void FillRow(std::uint32_t* pixels, int count, PixelColour colour) {
    const uint32x4_t four = vdupq_n_u32(colour.Value());
    int i = 0;
    // Eight at a time where the run has them: most runs are a few fours.
    for (; i + 2 * kFour <= count; i += 2 * kFour) {
        vst1q_u32(pixels + i, four);
        vst1q_u32(pixels + i + kFour, four);
    }
    if (i + kFour <= count) {
        vst1q_u32(pixels + i, four);
        i += kFour;
    }
    std::fill(pixels + i, pixels + count, colour.Value());
}

void FillSpans(std::uint8_t* image, std::ptrdiff_t stride, const Span* spans, int spanCount, PixelColour colour) {
    for (const Span& span : std::span(spans, static_cast<std::size_t>(spanCount))) {
        FillRow(reinterpret_cast<std::uint32_t*>(image + span.y * stride) + span.x0, span.x1 - span.x0, colour);
    }
}

constexpr RowKernels kNeon{
    "NEON, four pixels at a time", PlanMiddleRowsNeon, PaintCapsuleRow, PaintBandRows, BlendRow, FillRow, FillSpans};

}  // namespace

const RowKernels* NeonKernels() { return &kNeon; }

}  // namespace platform
