// The WebAssembly planning of a segment's middle rows, for the four-at-a-time
// row kernels where they are built as WebAssembly SIMD (the browser's page).
#pragma once

#include "platform/raster/row_kernels.h"

namespace platform {

// As PlanMiddleRowsOneByOne plans them, four rows at a time.
int PlanMiddleRowsWasm(const MiddleRows& middle, SegmentRow* rows);

}  // namespace platform
