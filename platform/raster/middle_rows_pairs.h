#pragma once

// A segment's middle rows planned four at a time in 128-bit vectors, two
// doubles or four 32-bit integers to a vector: the one algorithm of the
// processors whose vectors have floor and ceil of doubles (WebAssembly
// SIMD, AArch64's NEON), each giving the operations it names (Lanes).
//
// Each lane works out its row as PlanMiddleRowsOneByOne does: the same
// double arithmetic, ceil and floor where the definition truncates and
// corrects (the same for the clamped values), and the whole fours in 32-bit
// lanes.
//
// Lanes::Doubles, two doubles, with Splat, Make(a, b), Add, Sub, Mul, Floor,
// Ceil, and PMin(a, b) = b < a ? b : a and PMax(a, b) = a < b ? b : a;
// Lanes::Ints, four int32s, with IntSplat, IntAdd, IntSub, IntMin, IntMax,
// IntAnd, IntAtLeast(a, b) (all ones where a >= b), IntSelect(mask, a, b);
// and between them LowHalves(a, b) (the low 32 bits of a's lanes, then b's),
// LowToDoubles and HighToDoubles (lanes 0 and 1, 2 and 3), Store and
// StoreAsFloats(out, a, b) (a's lanes then b's, rounded to floats).

#include <cstdint>

#include "platform/raster/row_kernels.h"

namespace platform {

template <typename Lanes>
int PlanMiddleRowsInPairs(const MiddleRows& middle, SegmentRow* rows) {
    using Doubles = typename Lanes::Doubles;
    using Ints = typename Lanes::Ints;
    SegmentRow* next = rows;
    const Doubles half = Lanes::Splat(0.5);
    const Doubles lowest = Lanes::Splat(-1);
    const Doubles highest = Lanes::Splat(static_cast<double>(middle.width) + 1);
    const Doubles x1 = Lanes::Splat(middle.x1);
    const Doubles y1 = Lanes::Splat(middle.y1);
    const Doubles dx = Lanes::Splat(middle.dx);
    const Doubles dy = Lanes::Splat(middle.dy);
    const Doubles dxPerDy = Lanes::Splat(middle.dxPerDy);
    const Doubles halfRun = Lanes::Splat(middle.halfRun);
    const Doubles inverseLength = Lanes::Splat(middle.inverseLength);
    const Ints zero = Lanes::IntSplat(0);
    const Ints one = Lanes::IntSplat(1);
    const Ints width = Lanes::IntSplat(middle.width);
    // std::clamp(v, lo, hi): lo where v < lo, hi where hi < v.
    const auto clamp = [&](Doubles value) { return Lanes::PMin(highest, Lanes::PMax(lowest, value)); };
    // A whole double n of less than 2^31 either way, added to 1.5 x 2^52,
    // lies in its low 32 bits: cheaper than a conversion, which in
    // WebAssembly saturates.
    const Doubles magic = Lanes::Splat(6755399441055744.0);
    // Two rows' runs from their crossings: their first and last columns, as
    // whole numbers in the low halves of 64-bit lanes.
    struct Columns {
        Doubles from;
        Doubles to;
    };
    const auto columnsOf = [&](Doubles riseFromStart) {
        const Doubles crossing = Lanes::Add(x1, Lanes::Mul(riseFromStart, dxPerDy));
        const Doubles from = clamp(Lanes::Sub(Lanes::Sub(crossing, halfRun), half));
        const Doubles to = clamp(Lanes::Sub(Lanes::Add(crossing, halfRun), half));
        return Columns{Lanes::Add(Lanes::Ceil(from), magic), Lanes::Add(Lanes::Floor(to), magic)};
    };
    const auto acrossOf = [&](Doubles runFrom, Doubles riseFromStart) {
        return Lanes::Mul(
            Lanes::Sub(Lanes::Mul(Lanes::Sub(Lanes::Add(runFrom, half), x1), dy), Lanes::Mul(riseFromStart, dx)),
            inverseLength);
    };
    const auto riseFrom = [&](int row) {
        return Lanes::Sub(Lanes::Add(Lanes::Make(static_cast<double>(row), static_cast<double>(row + 1)), half), y1);
    };
    int y = middle.first;
    for (; y + 3 <= middle.last; y += 4) {
        const Doubles riseNear = riseFrom(y);
        const Doubles riseFar = riseFrom(y + 2);
        const Columns near = columnsOf(riseNear);
        const Columns far = columnsOf(riseFar);
        const Ints x0 = Lanes::IntMax(zero, Lanes::LowHalves(near.from, far.from));
        const Ints columnsEnd = Lanes::IntMin(width, Lanes::IntAdd(Lanes::LowHalves(near.to, far.to), one));
        // Whole fours, where the run is not empty.
        const Ints empty = Lanes::IntAtLeast(x0, columnsEnd);
        const Ints fours =
            Lanes::IntAnd(Lanes::IntAdd(Lanes::IntSub(columnsEnd, x0), Lanes::IntSplat(3)), Lanes::IntSplat(~3));
        const Ints end = Lanes::IntMin(width, Lanes::IntAdd(x0, fours));
        const Ints start = Lanes::IntMax(zero, Lanes::IntSub(end, fours));
        const Ints runFrom = Lanes::IntSelect(empty, x0, start);
        const Ints runTo = Lanes::IntSelect(empty, columnsEnd, end);
        alignas(16) std::int32_t froms[4];
        alignas(16) std::int32_t tos[4];
        alignas(16) float acrosses[4];
        Lanes::Store(froms, runFrom);
        Lanes::Store(tos, runTo);
        Lanes::StoreAsFloats(acrosses, acrossOf(Lanes::LowToDoubles(runFrom), riseNear),
                             acrossOf(Lanes::HighToDoubles(runFrom), riseFar));
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
