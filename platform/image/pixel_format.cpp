#include "platform/image/pixel_format.h"

#include <bit>

namespace platform {
namespace {

PixelFormat::Channel ChannelFor(std::uint32_t mask) {
    const int bits = std::popcount(mask);
    PixelFormat::Channel channel;
    channel.shift = std::countr_zero(mask);
    if (bits >= 8) {
        channel.up = bits - 8;
        channel.down = 16 - bits;
    } else {
        channel.cut = 8 - bits;
    }
    return channel;
}

// One channel's 8-bit value put into its bits.
std::uint32_t Spread(std::uint32_t value, const PixelFormat::Channel& channel) {
    return (((value << channel.up) | (value >> channel.down)) >> channel.cut) << channel.shift;
}

// A mask of contiguous bits, as TrueColor visuals have.
bool Contiguous(std::uint32_t mask) { return mask != 0 && std::has_single_bit((mask >> std::countr_zero(mask)) + 1); }

}  // namespace

std::optional<PixelFormat> PixelFormat::For(const PixelLayout& layout, std::string& why) {
    if ((layout.bitsPerPixel != 16 && layout.bitsPerPixel != 32) || !Contiguous(layout.redMask) ||
        !Contiguous(layout.greenMask) || !Contiguous(layout.blueMask)) {
        why = "the display's depth is " + std::to_string(layout.depth) + " bits (" +
              std::to_string(layout.bitsPerPixel) + " a pixel), and the program draws in true colour at a depth of " +
              "15, 16, 24 or 30";
        return std::nullopt;
    }
    PixelFormat format;
    format.bytesPerPixel_ = layout.bitsPerPixel / 8;
    format.swapBytes_ = layout.mostSignificantByteFirst != (std::endian::native == std::endian::big);
    format.sameAsImage_ = layout.bitsPerPixel == 32 && !format.swapBytes_ && layout.redMask == 0xFF0000U &&
                          layout.greenMask == 0x00FF00U && layout.blueMask == 0x0000FFU;
    format.channels_ = {ChannelFor(layout.redMask), ChannelFor(layout.greenMask), ChannelFor(layout.blueMask)};
    return format;
}

std::uint32_t PixelFormat::PixelOf(std::uint32_t rgb) const {
    std::uint32_t pixel = 0;
    for (std::size_t c = 0; c < channels_.size(); ++c) {
        const std::uint32_t value = (rgb >> (16 - 8 * c)) & 0xFFU;
        pixel |= Spread(value, channels_[c]);
    }
    if (!swapBytes_) {
        return pixel;
    }
    return bytesPerPixel_ == 4 ? __builtin_bswap32(pixel) : __builtin_bswap16(static_cast<std::uint16_t>(pixel));
}

template <typename Pixel>
void PixelFormat::ConvertRow(const std::uint32_t* source, Pixel* target, int count) const {
    for (int x = 0; x < count; ++x) {
        target[x] = static_cast<Pixel>(PixelOf(source[x]));
    }
}

void PixelFormat::Convert(const PixelRows& from, std::uint8_t* to, int toStride,
                          const std::vector<PixelRect>& rects) const {
    for (const PixelRect& rect : rects) {
        for (int y = rect.y; y < rect.y + rect.height; ++y) {
            const std::uint32_t* source = from.Row(y) + rect.x;
            std::uint8_t* target =
                to + static_cast<std::ptrdiff_t>(y) * toStride + static_cast<std::ptrdiff_t>(rect.x) * bytesPerPixel_;
            if (bytesPerPixel_ == 4) {
                ConvertRow(source, reinterpret_cast<std::uint32_t*>(target), rect.width);
            } else {
                ConvertRow(source, reinterpret_cast<std::uint16_t*>(target), rect.width);
            }
        }
    }
}

}  // namespace platform
