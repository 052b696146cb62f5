#pragma once

#include <cstdint>

namespace platform {

// A colour as the image's pixels hold it: 0x00RRGGBB, the top byte unused
// and kept zero.
class XrgbColour {
public:
    constexpr XrgbColour() = default;
    constexpr explicit XrgbColour(std::uint32_t xrgb) : value_(xrgb & 0x00FFFFFFU) {}
    constexpr XrgbColour(std::uint8_t red, std::uint8_t green, std::uint8_t blue)
        : value_((std::uint32_t{red} << 16) | (std::uint32_t{green} << 8) | blue) {}

    // The pixel's value, as it is stored.
    [[nodiscard]] constexpr std::uint32_t Value() const { return value_; }

    friend constexpr bool operator==(XrgbColour, XrgbColour) = default;

private:
    std::uint32_t value_ = 0;
};

}  // namespace platform
