#include "platform/sdl/x11_pixel_format.h"

#include <algorithm>
#include <bit>

namespace platform::sdl {
namespace {

// An 8-bit channel value spread over a mask's bits: more bits repeat the
// top bits in the low ones (so 255 stays the brightest), fewer drop the low ones.
std::array<std::uint32_t, 256> TableFor(std::uint32_t mask) {
    std::array<std::uint32_t, 256> table{};
    const int shift = std::countr_zero(mask);
    const int bits = std::popcount(mask);
    for (std::uint32_t value = 0; value < 256; ++value) {
        std::uint32_t scaled = 0;
        for (int filled = 0; filled < bits; filled += 8) {
            const int remaining = bits - filled;
            scaled = (scaled << std::min(remaining, 8)) | (remaining >= 8 ? value : value >> (8 - remaining));
        }
        table[value] = (scaled << shift) & mask;
    }
    return table;
}

// A mask of contiguous bits, as TrueColor visuals have.
bool Contiguous(std::uint32_t mask) { return mask != 0 && std::has_single_bit((mask >> std::countr_zero(mask)) + 1); }

}  // namespace

std::optional<X11PixelFormat> X11PixelFormat::For(const X11PixelLayout& layout, std::string& why) {
    if ((layout.bitsPerPixel != 16 && layout.bitsPerPixel != 32) || !Contiguous(layout.redMask) ||
        !Contiguous(layout.greenMask) || !Contiguous(layout.blueMask)) {
        why = "the display's depth is " + std::to_string(layout.depth) + " bits (" +
              std::to_string(layout.bitsPerPixel) + " a pixel), and the program draws in true colour at a depth of " +
              "15, 16, 24 or 30";
        return std::nullopt;
    }
    X11PixelFormat format;
    format.bytesPerPixel_ = layout.bitsPerPixel / 8;
    format.swapBytes_ = layout.mostSignificantByteFirst != (std::endian::native == std::endian::big);
    format.sameAsImage_ = layout.bitsPerPixel == 32 && !format.swapBytes_ && layout.redMask == 0xFF0000U &&
                          layout.greenMask == 0x00FF00U && layout.blueMask == 0x0000FFU;
    format.red_ = TableFor(layout.redMask);
    format.green_ = TableFor(layout.greenMask);
    format.blue_ = TableFor(layout.blueMask);
    return format;
}

std::uint32_t X11PixelFormat::PixelOf(std::uint32_t rgb) const {
    const std::uint32_t pixel = red_[(rgb >> 16) & 0xFFU] | green_[(rgb >> 8) & 0xFFU] | blue_[rgb & 0xFFU];
    if (!swapBytes_) {
        return pixel;
    }
    return bytesPerPixel_ == 4 ? __builtin_bswap32(pixel) : __builtin_bswap16(static_cast<std::uint16_t>(pixel));
}

void X11PixelFormat::Convert(const PixelRows& from, std::uint8_t* to, int toStride,
                             const std::vector<PixelRect>& rects) const {
    for (const PixelRect& rect : rects) {
        for (int y = rect.y; y < rect.y + rect.height; ++y) {
            const std::uint32_t* source = from.Row(y) + rect.x;
            std::uint8_t* target =
                to + static_cast<std::ptrdiff_t>(y) * toStride + static_cast<std::ptrdiff_t>(rect.x) * bytesPerPixel_;
            if (bytesPerPixel_ == 4) {
                auto* pixels = reinterpret_cast<std::uint32_t*>(target);
                for (int x = 0; x < rect.width; ++x) {
                    pixels[x] = PixelOf(source[x]);
                }
            } else {
                auto* pixels = reinterpret_cast<std::uint16_t*>(target);
                for (int x = 0; x < rect.width; ++x) {
                    pixels[x] = static_cast<std::uint16_t>(PixelOf(source[x]));
                }
            }
        }
    }
}

}  // namespace platform::sdl
