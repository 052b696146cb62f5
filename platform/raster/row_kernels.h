#pragma once

// The strokes' innermost loops, a table of them for each instruction set
// the processor may have: the one-pixel-at-a-time definitions, SSE2 (four
// pixels at a time, every x86-64 processor) and AVX2 (eight), chosen once at
// run time, and NEON (four, every AArch64 processor), chosen when the
// program is built. Every table gives the same bits as the definitions.

#include <cstdint>

#include <cstddef>

#include "platform/raster/capsule_coverage.h"
#include "platform/raster/pixel_colour.h"
#include "platform/raster/pixel_rows.h"

namespace platform {

// A row of a stroke: the run of pixels [from, to) of row y that it may
// touch, and how its coverage is found there.
struct SegmentRow {
    int y = 0;
    int from = 0;
    int to = 0;
    // Between the ends the distance from the middle line is linear along
    // the row: `across` at the run's first pixel. Elsewhere (not `band`) it
    // is the round ends' exact distance.
    bool band = false;
    float across = 0;

    friend bool operator==(const SegmentRow&, const SegmentRow&) = default;
};

// A segment's middle rows, first to last, where each row's run is the
// band's alone: the centre line crosses row y at x1 + (y + 0.5 - y1) dxPerDy,
// and the run reaches halfRun either side of that, in an image `width`
// wide. The band's distance at a run's first pixel x is
// ((x + 0.5 - x1) dy - (y + 0.5 - y1) dx) inverseLength.
struct MiddleRows {
    int first = 0;
    int last = -1;
    int width = 0;
    double x1 = 0;
    double y1 = 0;
    double dx = 0;
    double dy = 0;
    double dxPerDy = 0;
    double halfRun = 0;
    double inverseLength = 0;
};

// The definition: each middle row's run, as the columns it covers widened
// to whole fours (run_columns.h), into `rows` where it is not empty; how
// many rows that is.
int PlanMiddleRowsOneByOne(const MiddleRows& middle, SegmentRow* rows);

// The definitions of a capsule row's run, and of a band row's pixels from
// `first` on: what the kernels' pixels after their last whole four are.
void PaintCapsuleRowOneByOne(const CapsuleRow& row, int x0, int count, PixelColour colour, std::uint32_t* pixels);
void PaintBandRowOneByOne(const SegmentRow& row, std::uint32_t* pixels, int first, float step, float edge,
                          PixelColour colour);

struct RowKernels {
    const char* name;
    // The middle rows of a segment, as PlanMiddleRowsOneByOne plans them.
    int (*planMiddleRows)(const MiddleRows& middle, SegmentRow* rows);
    // Composites the colour over a run of pixels as far as the stroke
    // covers each: BlendRowOneByOne over CoverCapsuleRowOneByOne; and over
    // the band rows among the rows given (the others are left alone) in
    // rows of `stride` bytes from `image`, over CoverBandRowOneByOne with
    // this step and edge.
    void (*paintCapsuleRow)(const CapsuleRow& row, int x0, int count, PixelColour colour, std::uint32_t* pixels);
    void (*paintBandRows)(std::uint8_t* image, std::ptrdiff_t stride, const SegmentRow* rows, int rowCount, float step,
                          float edge, PixelColour colour);
    // BlendRowOneByOne: the colour over the pixels as far as their coverage goes.
    void (*blendRow)(std::uint32_t* pixels, const std::uint8_t* coverage, int count, PixelColour colour);
    // Every pixel of the run, or of each span, set to the colour.
    void (*fillRow)(std::uint32_t* pixels, int count, PixelColour colour);
    void (*fillSpans)(std::uint8_t* image, std::ptrdiff_t stride, const Span* spans, int spanCount, PixelColour colour);
};

// The program has the AVX2 kernels (x86-64 Linux builds), whether or not
// this processor can run them; the SSE2 ones (x86-64, and WebAssembly SIMD);
// the NEON ones (AArch64).
#if defined(PENTAGRAM_AVX2)
inline constexpr bool kBuiltWithAvx2 = true;
#else
inline constexpr bool kBuiltWithAvx2 = false;
#endif
#if defined(__SSE2__)
inline constexpr bool kBuiltWithSse2 = true;
#else
inline constexpr bool kBuiltWithSse2 = false;
#endif
#if defined(__aarch64__)
inline constexpr bool kBuiltWithNeon = true;
#else
inline constexpr bool kBuiltWithNeon = false;
#endif

// The environment variable that, set to anything but 0 when the program
// starts, has it draw with the definitions alone, for the checks and
// benchmarks that hold the kernels against them in one build.
inline constexpr const char* kDefinitionsOnly = "PENTAGRAM_NO_SIMD";

// The definitions, a pixel at a time.
[[nodiscard]] const RowKernels& OneByOneKernels();
// Four pixels at a time; the definitions where the program has no SSE2.
[[nodiscard]] const RowKernels& Sse2Kernels();
// Eight pixels at a time; null where the program was built without them
// (Windows, other processors) or this processor has no AVX2.
[[nodiscard]] const RowKernels* Avx2Kernels();
// Four pixels at a time; null where the program is not built for AArch64.
[[nodiscard]] const RowKernels* NeonKernels();
// The widest the processor runs, or the definitions where kDefinitionsOnly
// says so; chosen once.
[[nodiscard]] const RowKernels& FastestKernels();

}  // namespace platform
