#include "tools/ico_file.h"

#include <cstdint>
#include <stdexcept>

namespace tools {
namespace {

constexpr std::size_t kHeaderBytes = 6;
constexpr std::size_t kEntryBytes = 16;
constexpr std::uint16_t kIconType = 1;
constexpr int kLargestSide = 256;

// Numbers in an icon file are little-endian.
void Append(std::string& bytes, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) {
        bytes += static_cast<char>((value >> (8 * i)) & 0xFFU);
    }
}

}  // namespace

std::string IcoFile(const std::vector<IconPicture>& pictures) {
    std::string bytes;
    Append(bytes, 0, 2);
    Append(bytes, kIconType, 2);
    Append(bytes, static_cast<std::uint32_t>(pictures.size()), 2);
    auto offset = static_cast<std::uint32_t>(kHeaderBytes + kEntryBytes * pictures.size());
    for (const IconPicture& picture : pictures) {
        if (picture.side < 1 || picture.side > kLargestSide) {
            throw std::invalid_argument("an icon's side is 1 to 256 pixels, not " + std::to_string(picture.side));
        }
        // A side of 256 is written as 0.
        const auto side = static_cast<std::uint32_t>(picture.side % kLargestSide);
        Append(bytes, side, 1);  // width
        Append(bytes, side, 1);  // height
        Append(bytes, 0, 1);     // no palette
        Append(bytes, 0, 1);     // reserved
        Append(bytes, 1, 2);     // colour planes
        Append(bytes, 32, 2);    // bits a pixel
        Append(bytes, static_cast<std::uint32_t>(picture.png.size()), 4);
        Append(bytes, offset, 4);
        offset += static_cast<std::uint32_t>(picture.png.size());
    }
    for (const IconPicture& picture : pictures) {
        bytes += picture.png;
    }
    return bytes;
}

}  // namespace tools
