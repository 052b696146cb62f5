// A segment's middle rows planned four at a time with AArch64's NEON, which
// has floor and ceil of doubles as WebAssembly SIMD has: the same planning
// in pairs, with NEON's operations.

#include "platform/raster/middle_rows_neon.h"

#include <arm_neon.h>

#include "platform/raster/middle_rows_pairs.h"

namespace platform {
namespace {

struct NeonLanes {
    using Doubles = float64x2_t;
    using Ints = int32x4_t;

    static Doubles Splat(double value) { return vdupq_n_f64(value); }
    static Doubles Make(double first, double second) { return vsetq_lane_f64(second, vdupq_n_f64(first), 1); }
    static Doubles Add(Doubles a, Doubles b) { return vaddq_f64(a, b); }
    static Doubles Sub(Doubles a, Doubles b) { return vsubq_f64(a, b); }
    static Doubles Mul(Doubles a, Doubles b) { return vmulq_f64(a, b); }
    static Doubles Floor(Doubles a) { return vrndmq_f64(a); }
    static Doubles Ceil(Doubles a) { return vrndpq_f64(a); }
    // As WebAssembly's pmin and pmax, by comparison: NEON's own minimum and
    // maximum differ on NaN and on the zeros' signs.
    static Doubles PMin(Doubles a, Doubles b) { return vbslq_f64(vcltq_f64(b, a), b, a); }
    static Doubles PMax(Doubles a, Doubles b) { return vbslq_f64(vcltq_f64(a, b), b, a); }

    static Ints IntSplat(int value) { return vdupq_n_s32(value); }
    static Ints IntAdd(Ints a, Ints b) { return vaddq_s32(a, b); }
    static Ints IntSub(Ints a, Ints b) { return vsubq_s32(a, b); }
    static Ints IntMin(Ints a, Ints b) { return vminq_s32(a, b); }
    static Ints IntMax(Ints a, Ints b) { return vmaxq_s32(a, b); }
    static Ints IntAnd(Ints a, Ints b) { return vandq_s32(a, b); }
    static Ints IntAtLeast(Ints a, Ints b) { return vreinterpretq_s32_u32(vcgeq_s32(a, b)); }
    static Ints IntSelect(Ints mask, Ints a, Ints b) { return vbslq_s32(vreinterpretq_u32_s32(mask), a, b); }

    static Ints LowHalves(Doubles a, Doubles b) {
        return vuzp1q_s32(vreinterpretq_s32_f64(a), vreinterpretq_s32_f64(b));
    }
    static Doubles LowToDoubles(Ints a) { return vcvtq_f64_s64(vmovl_s32(vget_low_s32(a))); }
    static Doubles HighToDoubles(Ints a) { return vcvtq_f64_s64(vmovl_high_s32(a)); }
    static void Store(std::int32_t* out, Ints a) { vst1q_s32(out, a); }
    static void StoreAsFloats(float* out, Doubles a, Doubles b) {
        vst1q_f32(out, vcombine_f32(vcvt_f32_f64(a), vcvt_f32_f64(b)));
    }
};

}  // namespace

int PlanMiddleRowsNeon(const MiddleRows& middle, SegmentRow* rows) {
    return PlanMiddleRowsInPairs<NeonLanes>(middle, rows);
}

}  // namespace platform
