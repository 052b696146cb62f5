#pragma once

#include <cstdint>

namespace platform {

// A round-capped segment (a capsule) as one row of pixels sees it: how much
// of each pixel it covers, from the distance of the pixel's centre to the
// nearest point of the segment. Single precision is ample for coverage in
// 256 steps on any image a window can have.
struct CapsuleRow {
    float py = 0;  // the row's pixel centres' y
    float x1 = 0;  // the segment's start
    float y1 = 0;
    float dx = 0;  // its end less its start
    float dy = 0;
    float inverseLengthSquared = 0;  // 0 for a segment of no length, a dot
    float edge = 0;                  // coverage is edge - distance, kept to [0, 1]
};

// The coverage (0..255) of `count` pixels from column x0 on, into `values`,
// a pixel at a time: the definition, which the row kernels (row_kernels.h)
// paint with bit for bit, several pixels at a time.
void CoverCapsuleRowOneByOne(const CapsuleRow& row, int x0, int count, std::uint8_t* values);

// A row that crosses only the band between the caps, where the distance is
// the one across the segment: linear along the row, so no square root.
struct BandRow {
    float across = 0;  // the signed distance across the segment at the first pixel's centre
    float step = 0;    // its change from one pixel to the next
    float edge = 0;    // coverage is edge - |distance|, kept to [0, 1]
};

// The coverage of the row's pixels `first` to `first + count`, the first
// pixel of the row being pixel 0, into `values`.
void CoverBandRowOneByOne(const BandRow& row, int first, int count, std::uint8_t* values);

}  // namespace platform
