#include "tools/picture_digest.h"

#include <array>

namespace tools {
namespace {

constexpr std::uint32_t kOffsetBasis = 2166136261U;
constexpr std::uint32_t kPrime = 16777619U;

}  // namespace

std::uint32_t PictureDigest(const platform::PersistentImage& image) {
    const platform::PixelRows rows = image.Rows();
    const bool rgba = image.Format() == platform::ImageFormat::OpaqueRgba;
    std::uint32_t digest = kOffsetBasis;
    for (int y = 0; y < rows.height; ++y) {
        const std::uint32_t* row = rows.Row(y);
        for (int x = 0; x < rows.width; ++x) {
            const std::uint32_t pixel = row[x];
            // Bytes R, G, B in memory for RGBA; 0x00RRGGBB for xRGB.
            const std::array<std::uint32_t, 3> channels =
                rgba ? std::array{pixel & 0xFFU, (pixel >> 8) & 0xFFU, (pixel >> 16) & 0xFFU}
                     : std::array{(pixel >> 16) & 0xFFU, (pixel >> 8) & 0xFFU, pixel & 0xFFU};
            for (const std::uint32_t channel : channels) {
                digest = (digest ^ channel) * kPrime;
            }
        }
    }
    return digest;
}

}  // namespace tools
