#pragma once

#include <string>

#include "platform/image/persistent_image.h"

namespace tools {

// The picture as a PNG file's bytes, each pixel as the image holds it.
// Throws platform::RunTimeError for an empty image or a failed encoding.
[[nodiscard]] std::string EncodePng(const platform::PersistentImage& image);

}  // namespace tools
