// A segment's middle rows planned four at a time with WebAssembly SIMD: SSE2
// has no floor or ceil of doubles, WebAssembly has both, and a row planned
// a scalar at a time costs the browser's page a quarter of its frame.

#include "platform/raster/middle_rows_wasm.h"

#include <wasm_simd128.h>

#include "platform/raster/middle_rows_pairs.h"

namespace platform {
namespace {

// WebAssembly's operations for the planning in pairs: one vector type for
// doubles and integers alike.
struct WasmLanes {
    using Doubles = v128_t;
    using Ints = v128_t;

    static Doubles Splat(double value) { return wasm_f64x2_splat(value); }
    static Doubles Make(double first, double second) { return wasm_f64x2_make(first, second); }
    static Doubles Add(Doubles a, Doubles b) { return wasm_f64x2_add(a, b); }
    static Doubles Sub(Doubles a, Doubles b) { return wasm_f64x2_sub(a, b); }
    static Doubles Mul(Doubles a, Doubles b) { return wasm_f64x2_mul(a, b); }
    static Doubles Floor(Doubles a) { return wasm_f64x2_floor(a); }
    static Doubles Ceil(Doubles a) { return wasm_f64x2_ceil(a); }
    static Doubles PMin(Doubles a, Doubles b) { return wasm_f64x2_pmin(a, b); }
    static Doubles PMax(Doubles a, Doubles b) { return wasm_f64x2_pmax(a, b); }

    static Ints IntSplat(int value) { return wasm_i32x4_splat(value); }
    static Ints IntAdd(Ints a, Ints b) { return wasm_i32x4_add(a, b); }
    static Ints IntSub(Ints a, Ints b) { return wasm_i32x4_sub(a, b); }
    static Ints IntMin(Ints a, Ints b) { return wasm_i32x4_min(a, b); }
    static Ints IntMax(Ints a, Ints b) { return wasm_i32x4_max(a, b); }
    static Ints IntAnd(Ints a, Ints b) { return wasm_v128_and(a, b); }
    static Ints IntAtLeast(Ints a, Ints b) { return wasm_i32x4_ge(a, b); }
    static Ints IntSelect(Ints mask, Ints a, Ints b) { return wasm_v128_bitselect(a, b, mask); }

    static Ints LowHalves(Doubles a, Doubles b) { return wasm_i32x4_shuffle(a, b, 0, 2, 4, 6); }
    static Doubles LowToDoubles(Ints a) { return wasm_f64x2_convert_low_i32x4(a); }
    static Doubles HighToDoubles(Ints a) { return wasm_f64x2_convert_low_i32x4(wasm_i32x4_shuffle(a, a, 2, 3, 2, 3)); }
    static void Store(std::int32_t* out, Ints a) { wasm_v128_store(out, a); }
    static void StoreAsFloats(float* out, Doubles a, Doubles b) {
        wasm_v128_store(
            out, wasm_i32x4_shuffle(wasm_f32x4_demote_f64x2_zero(a), wasm_f32x4_demote_f64x2_zero(b), 0, 1, 4, 5));
    }
};

}  // namespace

int PlanMiddleRowsWasm(const MiddleRows& middle, SegmentRow* rows) {
    return PlanMiddleRowsInPairs<WasmLanes>(middle, rows);
}

}  // namespace platform
