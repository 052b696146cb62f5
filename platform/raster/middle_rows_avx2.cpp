// A segment's middle rows planned four at a time with AVX2, for the AVX2
// row kernels. Built for AVX2 like them, and like them sharing no inline
// code with the files built for every processor.

#include <immintrin.h>

#include <cstdint>

#include "platform/raster/middle_rows_avx2.h"

namespace platform {

// Four rows at a time, each lane as PlanMiddleRowsOneByOne works out its
// row: the same double arithmetic, ceil and floor where the definition
// truncates and corrects (the same for the clamped values), and the whole
// fours in 32-bit lanes.
int PlanMiddleRowsAvx2(const MiddleRows& middle, SegmentRow* rows) {
    SegmentRow* next = rows;
    const __m256d half = _mm256_set1_pd(0.5);
    const __m256d lowest = _mm256_set1_pd(-1);
    const __m256d highest = _mm256_set1_pd(static_cast<double>(middle.width) + 1);
    const __m256d x1 = _mm256_set1_pd(middle.x1);
    const __m256d y1 = _mm256_set1_pd(middle.y1);
    const __m256d dx = _mm256_set1_pd(middle.dx);
    const __m256d dy = _mm256_set1_pd(middle.dy);
    const __m256d dxPerDy = _mm256_set1_pd(middle.dxPerDy);
    const __m256d halfRun = _mm256_set1_pd(middle.halfRun);
    const __m256d inverseLength = _mm256_set1_pd(middle.inverseLength);
    const __m128i zero = _mm_setzero_si128();
    const __m128i width = _mm_set1_epi32(middle.width);
    const __m128i lanes = _mm_setr_epi32(0, 1, 2, 3);
    int y = middle.first;
    for (; y + 3 <= middle.last; y += 4) {
        const __m128i ys = _mm_add_epi32(_mm_set1_epi32(y), lanes);
        const __m256d riseFromStart = _mm256_sub_pd(_mm256_add_pd(_mm256_cvtepi32_pd(ys), half), y1);
        const __m256d crossing = _mm256_add_pd(x1, _mm256_mul_pd(riseFromStart, dxPerDy));
        const __m256d from =
            _mm256_min_pd(_mm256_max_pd(_mm256_sub_pd(_mm256_sub_pd(crossing, halfRun), half), lowest), highest);
        const __m256d to =
            _mm256_min_pd(_mm256_max_pd(_mm256_sub_pd(_mm256_add_pd(crossing, halfRun), half), lowest), highest);
        const __m128i x0 = _mm_max_epi32(zero, _mm256_cvttpd_epi32(_mm256_ceil_pd(from)));
        const __m128i x1Columns =
            _mm_min_epi32(width, _mm_add_epi32(_mm256_cvttpd_epi32(_mm256_floor_pd(to)), _mm_set1_epi32(1)));
        // Whole fours, where the run is not empty.
        const __m128i empty = _mm_cmpgt_epi32(_mm_add_epi32(x0, _mm_set1_epi32(1)), x1Columns);
        const __m128i fours =
            _mm_and_si128(_mm_add_epi32(_mm_sub_epi32(x1Columns, x0), _mm_set1_epi32(3)), _mm_set1_epi32(~3));
        const __m128i end = _mm_min_epi32(width, _mm_add_epi32(x0, fours));
        const __m128i start = _mm_max_epi32(zero, _mm_sub_epi32(end, fours));
        const __m128i runFrom = _mm_blendv_epi8(start, x0, empty);
        const __m128i runTo = _mm_blendv_epi8(end, x1Columns, empty);
        const __m256d across = _mm256_mul_pd(
            _mm256_sub_pd(_mm256_mul_pd(_mm256_sub_pd(_mm256_add_pd(_mm256_cvtepi32_pd(runFrom), half), x1), dy),
                          _mm256_mul_pd(riseFromStart, dx)),
            inverseLength);
        alignas(16) std::int32_t froms[4];
        alignas(16) std::int32_t tos[4];
        alignas(16) float acrosses[4];
        _mm_store_si128(reinterpret_cast<__m128i*>(froms), runFrom);
        _mm_store_si128(reinterpret_cast<__m128i*>(tos), runTo);
        _mm_store_ps(acrosses, _mm256_cvtpd_ps(across));
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
