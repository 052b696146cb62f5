#include "platform/raster/row_kernels.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <span>
#include <string_view>

#include "platform/raster/coverage_blend.h"
#include "platform/raster/run_columns.h"

namespace platform {
namespace {

// Coverage is worked out and blended a few pixels at a time, through a
// small store between the two.
constexpr int kChunk = 8;

void PaintBandRowsOneByOne(std::uint8_t* image, std::ptrdiff_t stride, const SegmentRow* rows, int rowCount, float step,
                           float edge, PixelColour colour) {
    for (const SegmentRow& row : std::span(rows, static_cast<std::size_t>(rowCount))) {
        if (row.band) {
            PaintBandRowOneByOne(row, reinterpret_cast<std::uint32_t*>(image + row.y * stride) + row.from, 0, step,
                                 edge, colour);
        }
    }
}

void FillRowOneByOne(std::uint32_t* pixels, int count, PixelColour colour) {
    std::fill(pixels, pixels + count, colour.Value());
}

void FillSpansOneByOne(std::uint8_t* image, std::ptrdiff_t stride, const Span* spans, int spanCount,
                       PixelColour colour) {
    for (const Span& span : std::span(spans, static_cast<std::size_t>(spanCount))) {
        FillRowOneByOne(reinterpret_cast<std::uint32_t*>(image + span.y * stride) + span.x0, span.x1 - span.x0, colour);
    }
}

constexpr RowKernels kOneByOne{"one pixel at a time", PlanMiddleRowsOneByOne, PaintCapsuleRowOneByOne,
                               PaintBandRowsOneByOne, BlendRowOneByOne,       FillRowOneByOne,
                               FillSpansOneByOne};

}  // namespace

void PaintCapsuleRowOneByOne(const CapsuleRow& row, int x0, int count, PixelColour colour, std::uint32_t* pixels) {
    std::array<std::uint8_t, kChunk> coverage{};
    for (int i = 0; i < count; i += kChunk) {
        const int n = std::min(kChunk, count - i);
        CoverCapsuleRowOneByOne(row, x0 + i, n, coverage.data());
        BlendRowOneByOne(pixels + i, coverage.data(), n, colour);
    }
}

void PaintBandRowOneByOne(const SegmentRow& row, std::uint32_t* pixels, int first, float step, float edge,
                          PixelColour colour) {
    std::array<std::uint8_t, kChunk> coverage{};
    for (int i = first; i < row.to - row.from; i += kChunk) {
        const int n = std::min(kChunk, row.to - row.from - i);
        CoverBandRowOneByOne({row.across, step, edge}, i, n, coverage.data());
        BlendRowOneByOne(pixels + i, coverage.data(), n, colour);
    }
}

int PlanMiddleRowsOneByOne(const MiddleRows& middle, SegmentRow* rows) {
    SegmentRow* next = rows;
    for (int y = middle.first; y <= middle.last; ++y) {
        const double riseFromStart = (y + 0.5) - middle.y1;
        const double crossing = middle.x1 + riseFromStart * middle.dxPerDy;
        const auto [from, to] =
            InFours(middle.width, Columns(middle.width, crossing - middle.halfRun, crossing + middle.halfRun));
        if (from < to) {
            const double across =
                ((from + 0.5 - middle.x1) * middle.dy - riseFromStart * middle.dx) * middle.inverseLength;
            *next++ = {y, from, to, true, static_cast<float>(across)};
        }
    }
    return static_cast<int>(next - rows);
}

const RowKernels& OneByOneKernels() { return kOneByOne; }

const RowKernels& FastestKernels() {
    static const RowKernels& chosen = []() -> const RowKernels& {
        const char* definitionsOnly = std::getenv(kDefinitionsOnly);
        if (definitionsOnly != nullptr && *definitionsOnly != '\0' && std::string_view(definitionsOnly) != "0") {
            return kOneByOne;
        }
        if (const RowKernels* avx2 = Avx2Kernels()) {
            return *avx2;
        }
        if (const RowKernels* neon = NeonKernels()) {
            return *neon;
        }
        return Sse2Kernels();
    }();
    return chosen;
}

#if !defined(PENTAGRAM_AVX2)
// Built without the AVX2 paths.
const RowKernels* Avx2Kernels() { return nullptr; }
#endif

#if !defined(__aarch64__)
// Built for another processor than AArch64.
const RowKernels* NeonKernels() { return nullptr; }
#endif

}  // namespace platform
