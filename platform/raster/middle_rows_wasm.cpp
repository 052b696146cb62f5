// A segment's middle rows planned four at a time with WebAssembly SIMD: SSE2
// has no floor or ceil of doubles, WebAssembly has both, and a row planned
// a scalar at a time costs the browser's page a quarter of its frame.

#include "platform/raster/middle_rows_wasm.h"

#include <wasm_simd128.h>

#include <cstdint>

namespace platform {

// Each lane as PlanMiddleRowsOneByOne works out its row: the same double
// arithmetic, ceil and floor where the definition truncates and corrects
// (the same for the clamped values), and the whole fours in 32-bit lanes.
int PlanMiddleRowsWasm(const MiddleRows& middle, SegmentRow* rows) {
    SegmentRow* next = rows;
    const v128_t half = wasm_f64x2_splat(0.5);
    const v128_t lowest = wasm_f64x2_splat(-1);
    const v128_t highest = wasm_f64x2_splat(static_cast<double>(middle.width) + 1);
    const v128_t x1 = wasm_f64x2_splat(middle.x1);
    const v128_t y1 = wasm_f64x2_splat(middle.y1);
    const v128_t dx = wasm_f64x2_splat(middle.dx);
    const v128_t dy = wasm_f64x2_splat(middle.dy);
    const v128_t dxPerDy = wasm_f64x2_splat(middle.dxPerDy);
    const v128_t halfRun = wasm_f64x2_splat(middle.halfRun);
    const v128_t inverseLength = wasm_f64x2_splat(middle.inverseLength);
    const v128_t zero = wasm_i32x4_splat(0);
    const v128_t one = wasm_i32x4_splat(1);
    const v128_t width = wasm_i32x4_splat(middle.width);
    // std::clamp(v, lo, hi): lo where v < lo, hi where hi < v.
    const auto clamp = [&](v128_t value) { return wasm_f64x2_pmin(highest, wasm_f64x2_pmax(lowest, value)); };
    // A whole double n of less than 2^31 either way, added to 1.5 x 2^52,
    // lies in its low 32 bits: cheaper than a conversion, which in
    // WebAssembly saturates.
    const v128_t magic = wasm_f64x2_splat(6755399441055744.0);
    // Two rows' runs from their crossings: their first and last columns, as
    // whole numbers in the low halves of 64-bit lanes.
    struct Columns {
        v128_t from;
        v128_t to;
    };
    const auto columnsOf = [&](v128_t riseFromStart) {
        const v128_t crossing = wasm_f64x2_add(x1, wasm_f64x2_mul(riseFromStart, dxPerDy));
        const v128_t from = clamp(wasm_f64x2_sub(wasm_f64x2_sub(crossing, halfRun), half));
        const v128_t to = clamp(wasm_f64x2_sub(wasm_f64x2_add(crossing, halfRun), half));
        return Columns{wasm_f64x2_add(wasm_f64x2_ceil(from), magic), wasm_f64x2_add(wasm_f64x2_floor(to), magic)};
    };
    const auto acrossOf = [&](v128_t runFrom, v128_t riseFromStart) {
        return wasm_f64x2_mul(
            wasm_f64x2_sub(
                wasm_f64x2_mul(wasm_f64x2_sub(wasm_f64x2_add(wasm_f64x2_convert_low_i32x4(runFrom), half), x1), dy),
                wasm_f64x2_mul(riseFromStart, dx)),
            inverseLength);
    };
    const auto riseFrom = [&](int row) {
        const v128_t ys = wasm_f64x2_make(static_cast<double>(row), static_cast<double>(row + 1));
        return wasm_f64x2_sub(wasm_f64x2_add(ys, half), y1);
    };
    int y = middle.first;
    for (; y + 3 <= middle.last; y += 4) {
        const v128_t riseNear = riseFrom(y);
        const v128_t riseFar = riseFrom(y + 2);
        const Columns near = columnsOf(riseNear);
        const Columns far = columnsOf(riseFar);
        const v128_t x0 = wasm_i32x4_max(zero, wasm_i32x4_shuffle(near.from, far.from, 0, 2, 4, 6));
        const v128_t columnsEnd =
            wasm_i32x4_min(width, wasm_i32x4_add(wasm_i32x4_shuffle(near.to, far.to, 0, 2, 4, 6), one));
        // Whole fours, where the run is not empty.
        const v128_t empty = wasm_i32x4_ge(x0, columnsEnd);
        const v128_t fours =
            wasm_v128_and(wasm_i32x4_add(wasm_i32x4_sub(columnsEnd, x0), wasm_i32x4_splat(3)), wasm_i32x4_splat(~3));
        const v128_t end = wasm_i32x4_min(width, wasm_i32x4_add(x0, fours));
        const v128_t start = wasm_i32x4_max(zero, wasm_i32x4_sub(end, fours));
        const v128_t runFrom = wasm_v128_bitselect(x0, start, empty);
        const v128_t runTo = wasm_v128_bitselect(columnsEnd, end, empty);
        const v128_t across = wasm_i32x4_shuffle(
            wasm_f32x4_demote_f64x2_zero(acrossOf(runFrom, riseNear)),
            wasm_f32x4_demote_f64x2_zero(acrossOf(wasm_i32x4_shuffle(runFrom, runFrom, 2, 3, 2, 3), riseFar)), 0, 1, 4,
            5);
        alignas(16) std::int32_t froms[4];
        alignas(16) std::int32_t tos[4];
        alignas(16) float acrosses[4];
        wasm_v128_store(froms, runFrom);
        wasm_v128_store(tos, runTo);
        wasm_v128_store(acrosses, across);
        for (int lane = 0; lane < 4; ++lane) {
            if (froms[lane] < tos[lane]) {
                *next++ = {y + lane, froms[lane], tos[lane], true, acrosses[lane]};
            }
        }
    }
    // The last few rows as defined.
    if (y <= middle.last) {
        MiddleRows rest = middle;
        rest.first = y;
        next += PlanMiddleRowsOneByOne(rest, next);
    }
    return static_cast<int>(next - rows);
}

}  // namespace platform
