// The NEON planning of a segment's middle rows, for the NEON row kernels
// (AArch64).
#pragma once

#include "platform/raster/row_kernels.h"

namespace platform {

// As PlanMiddleRowsOneByOne plans them, four rows at a time.
int PlanMiddleRowsNeon(const MiddleRows& middle, SegmentRow* rows);

}  // namespace platform
