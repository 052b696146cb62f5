// The AVX2 planning of a segment's middle rows. Only for the AVX2 row
// kernels, which are chosen where the processor has AVX2.
#pragma once

#include "platform/raster/row_kernels.h"

namespace platform {

// As PlanMiddleRowsOneByOne plans them, four rows at a time.
int PlanMiddleRowsAvx2(const MiddleRows& middle, SegmentRow* rows);

}  // namespace platform
