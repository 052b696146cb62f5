#pragma once

// The strokes' innermost loops, a table of them for each instruction set
// the processor may have: the one-pixel-at-a-time definitions, SSE2 (four
// pixels at a time, every x86-64 processor) and AVX2 (eight), chosen once at
// run time. Every table gives the same bits as the definitions.

#include <cstdint>

#include "platform/raster/capsule_coverage.h"
#include "platform/raster/xrgb_colour.h"

namespace platform {

// One row of a stroke's band, where the distance from the stroke's middle
// line is linear along the row: `count` pixels from `pixels` on, the first
// at `across` from the middle line.
struct BandRun {
    std::uint32_t* pixels = nullptr;
    int count = 0;
    float across = 0;
};

struct RowKernels {
    const char* name;
    // Composites the colour over a run of pixels as far as the stroke
    // covers each (BlendRowOneByOne over CoverCapsuleRowOneByOne, or over
    // CoverBandRowOneByOne for each band run with this step and edge).
    void (*paintCapsuleRow)(const CapsuleRow& row, int x0, int count, XrgbColour colour, std::uint32_t* pixels);
    void (*paintBandRuns)(const BandRun* runs, int runCount, float step, float edge, XrgbColour colour);
    // BlendRowOneByOne: the colour over the pixels as far as their coverage goes.
    void (*blendRow)(std::uint32_t* pixels, const std::uint8_t* coverage, int count, XrgbColour colour);
    // Every pixel of the run set to the colour.
    void (*fillRow)(std::uint32_t* pixels, int count, XrgbColour colour);
};

// The program has the AVX2 kernels (x86-64 Linux builds), whether or not
// this processor can run them.
#if defined(PENTAGRAM_AVX2)
inline constexpr bool kBuiltWithAvx2 = true;
#else
inline constexpr bool kBuiltWithAvx2 = false;
#endif

// The definitions, a pixel at a time.
[[nodiscard]] const RowKernels& OneByOneKernels();
// Four pixels at a time.
[[nodiscard]] const RowKernels& Sse2Kernels();
// Eight pixels at a time; null where the program was built without them
// (Windows, other processors) or this processor has no AVX2.
[[nodiscard]] const RowKernels* Avx2Kernels();
// The widest the processor runs.
[[nodiscard]] const RowKernels& FastestKernels();

}  // namespace platform
