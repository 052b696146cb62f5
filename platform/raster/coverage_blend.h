#pragma once

#include <cstdint>

#include "platform/raster/pixel_colour.h"

namespace platform {

// Composites one colour over a row of 32-bit pixels, each pixel as far
// as its coverage goes (0 keeps the pixel exactly, 255 gives the colour
// exactly), a pixel at a time: the definition, which the row kernels
// (row_kernels.h) match bit for bit several pixels at a time. The pixel
// bytes and the coverage must not overlap.
void BlendRowOneByOne(std::uint32_t* pixels, const std::uint8_t* coverage, int count, PixelColour colour);

}  // namespace platform
