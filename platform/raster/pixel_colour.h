#pragma once

#include <cstdint>

namespace platform {

// A colour as the image's pixels hold it, in the image's format
// (image_format.h): 0x00RRGGBB where the image is xRGB, bytes R, G, B, 255
// where it is opaque RGBA. The strokes blend all four bytes alike, so that a
// fourth byte the colour and the picture share (0 or 255) stays as it is.
class PixelColour {
public:
    constexpr PixelColour() = default;
    constexpr explicit PixelColour(std::uint32_t pixel) : value_(pixel) {}
    // An xRGB colour.
    constexpr PixelColour(std::uint8_t red, std::uint8_t green, std::uint8_t blue)
        : value_((std::uint32_t{red} << 16) | (std::uint32_t{green} << 8) | blue) {}

    // The pixel's value, as it is stored.
    [[nodiscard]] constexpr std::uint32_t Value() const { return value_; }

    friend constexpr bool operator==(PixelColour, PixelColour) = default;

private:
    std::uint32_t value_ = 0;
};

}  // namespace platform
