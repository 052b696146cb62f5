#pragma once

#include <cstdint>

#include "platform/image/persistent_image.h"

namespace tools {

// A picture's digest as a check compares pictures across forms: 32-bit
// FNV-1a over each pixel's red, green and blue, row by row, whatever the
// image's format. The browser's page tests compute the same of a canvas.
[[nodiscard]] std::uint32_t PictureDigest(const platform::PersistentImage& image);

}  // namespace tools
