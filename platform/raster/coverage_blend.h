#pragma once

#include <cstdint>

#include "platform/raster/xrgb_colour.h"

namespace platform {

// Composites one colour over a row of 32-bit xRGB pixels, each pixel as far
// as its coverage goes (0 keeps the pixel exactly, 255 gives the colour
// exactly). The pixel bytes and the coverage must not overlap.
void BlendRow(std::uint32_t* pixels, const std::uint8_t* coverage, int count, XrgbColour colour);

// The same a pixel at a time: the definition, which BlendRow matches bit for
// bit, four pixels at a time where the processor allows.
void BlendRowOneByOne(std::uint32_t* pixels, const std::uint8_t* coverage, int count, XrgbColour colour);

}  // namespace platform
