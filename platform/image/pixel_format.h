#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/image/pixel_rect.h"
#include "platform/raster/pixel_rows.h"

namespace platform {

// How a display lays out a true-colour pixel in memory (an X visual, say):
// its bits per pixel, where each channel's bits lie, and its byte order.
struct PixelLayout {
    int depth = 0;
    int bitsPerPixel = 0;
    std::uint32_t redMask = 0;
    std::uint32_t greenMask = 0;
    std::uint32_t blueMask = 0;
    bool mostSignificantByteFirst = false;
};

// Turns the image's 32-bit xRGB pixels into a display's pixels: 24-bit xRGB
// as it is, and deep colour (10 bits a channel), high colour (5 or 6 bits)
// and other channel orders by shifting each channel into place. Only what
// changed is converted, at most once a refresh.
class PixelFormat {
public:
    // Nothing when the layout cannot be shown: the reason is then in `why`.
    static std::optional<PixelFormat> For(const PixelLayout& layout, std::string& why);

    // True when the display's pixels are the image's: rows can be copied as they are.
    [[nodiscard]] bool SameAsImage() const { return sameAsImage_; }
    [[nodiscard]] int BytesPerPixel() const { return bytesPerPixel_; }

    // Converts the rectangles from xRGB rows into rows of this format; `to`
    // holds its rows `toStride` bytes apart.
    void Convert(const PixelRows& from, std::uint8_t* to, int toStride, const std::vector<PixelRect>& rects) const;
    // One pixel, as it lies in the display's memory.
    [[nodiscard]] std::uint32_t PixelOf(std::uint32_t rgb) const;

    // How one 8-bit channel becomes its bits: ((c << up) | (c >> down)) >> cut,
    // then shifted into place. More bits repeat the top bits in the low ones
    // (so that 255 stays the brightest), fewer drop the low ones.
    struct Channel {
        int up = 0;
        int down = 8;
        int cut = 0;
        int shift = 0;
    };

private:
    template <typename Pixel>
    void ConvertRow(const std::uint32_t* source, Pixel* target, int count) const;

    bool sameAsImage_ = false;
    int bytesPerPixel_ = 4;
    bool swapBytes_ = false;
    std::array<Channel, 3> channels_{};  // red, green, blue
};

}  // namespace platform
