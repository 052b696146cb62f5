#pragma once

#include <string>
#include <vector>

namespace tools {

// One picture of an icon: its side in pixels and its PNG file's bytes.
struct IconPicture {
    int side = 0;
    std::string png;
};

// A Windows icon file's bytes holding the pictures as they are: an .ico
// may carry PNG pictures (Windows Vista on), each of any side up to 256.
// Throws std::invalid_argument for a side outside 1 to 256.
[[nodiscard]] std::string IcoFile(const std::vector<IconPicture>& pictures);

}  // namespace tools
