#include "platform/raster/capsule_coverage.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "platform/raster/coverage_steps.h"

namespace platform {
namespace {

std::uint8_t BandCoverage(const BandRow& row, int i) {
    const float distance = std::abs(row.across + row.step * static_cast<float>(i));
    const float coverage = std::min(std::max(row.edge - distance, 0.0F), 1.0F);
    return CoverageSteps(coverage);
}

}  // namespace

// The nearest point of the segment is at t along it, t kept to [0, 1].
void CoverCapsuleRowOneByOne(const CapsuleRow& row, int x0, int count, std::uint8_t* values) {
    const float ry = row.py - row.y1;
    for (int i = 0; i < count; ++i) {
        const float rx = (static_cast<float>(x0 + i) + 0.5F) - row.x1;
        const float t = std::min(std::max((rx * row.dx + ry * row.dy) * row.inverseLengthSquared, 0.0F), 1.0F);
        const float qx = rx - t * row.dx;
        const float qy = ry - t * row.dy;
        const float coverage = std::min(std::max(row.edge - std::sqrt(qx * qx + qy * qy), 0.0F), 1.0F);
        values[i] = CoverageSteps(coverage);
    }
}

void CoverBandRowOneByOne(const BandRow& row, int first, int count, std::uint8_t* values) {
    for (int i = 0; i < count; ++i) {
        values[i] = BandCoverage(row, first + i);
    }
}

}  // namespace platform
