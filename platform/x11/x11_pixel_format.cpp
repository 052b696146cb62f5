#include "platform/x11/x11_pixel_format.h"

#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace platform::x11 {
namespace {

X11PixelFormat::Channel ChannelFor(std::uint32_t mask) {
    const int bits = std::popcount(mask);
    X11PixelFormat::Channel channel;
    channel.shift = std::countr_zero(mask);
    if (bits >= 8) {
        channel.up = bits - 8;
        channel.down = 16 - bits;
    } else {
        channel.cut = 8 - bits;
    }
    return channel;
}

// One channel's 8-bit value put into its bits, for a pixel or four at once.
template <typename Value, typename Left, typename Right>
Value Spread(Value value, const X11PixelFormat::Channel& channel, Left left, Right right) {
    return left(right(left(value, channel.up) | right(value, channel.down), channel.cut), channel.shift);
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
    format.channels_ = {ChannelFor(layout.redMask), ChannelFor(layout.greenMask), ChannelFor(layout.blueMask)};
    return format;
}

std::uint32_t X11PixelFormat::PixelOf(std::uint32_t rgb) const {
    const auto left = [](std::uint32_t value, int count) { return value << count; };
    const auto right = [](std::uint32_t value, int count) { return value >> count; };
    std::uint32_t pixel = 0;
    for (std::size_t c = 0; c < channels_.size(); ++c) {
        const std::uint32_t value = (rgb >> (16 - 8 * c)) & 0xFFU;
        pixel |= Spread(value, channels_[c], left, right);
    }
    if (!swapBytes_) {
        return pixel;
    }
    return bytesPerPixel_ == 4 ? __builtin_bswap32(pixel) : __builtin_bswap16(static_cast<std::uint16_t>(pixel));
}

#if defined(__SSE2__)
// Four pixels' channels put into a visual's bits, in 32-bit lanes.
__m128i X11PixelFormat::SpreadFour(__m128i rgb) const {
    const auto left = [](__m128i value, int shift) { return _mm_sll_epi32(value, _mm_cvtsi32_si128(shift)); };
    const auto right = [](__m128i value, int shift) { return _mm_srl_epi32(value, _mm_cvtsi32_si128(shift)); };
    const __m128i byte = _mm_set1_epi32(0xFF);
    const __m128i red = Spread(_mm_and_si128(_mm_srli_epi32(rgb, 16), byte), channels_[0], left, right);
    const __m128i green = Spread(_mm_and_si128(_mm_srli_epi32(rgb, 8), byte), channels_[1], left, right);
    const __m128i blue = Spread(_mm_and_si128(rgb, byte), channels_[2], left, right);
    return _mm_or_si128(_mm_or_si128(red, green), blue);
}
#endif

template <typename Pixel>
void X11PixelFormat::ConvertRow(const std::uint32_t* source, Pixel* target, int count) const {
    int x = 0;
#if defined(__SSE2__)
    if (!swapBytes_) {
        if constexpr (sizeof(Pixel) == 4) {
            for (; x + 4 <= count; x += 4) {
                const __m128i rgb = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + x));
                _mm_storeu_si128(reinterpret_cast<__m128i*>(target + x), SpreadFour(rgb));
            }
        } else {
            // Eight 16-bit pixels from two fours: SSE2 packs only with signed
            // saturation, so the values are moved into its range and back.
            const __m128i half = _mm_set1_epi32(0x8000);
            const __m128i back = _mm_set1_epi16(static_cast<short>(0x8000));
            for (; x + 8 <= count; x += 8) {
                const __m128i low = SpreadFour(_mm_loadu_si128(reinterpret_cast<const __m128i*>(source + x)));
                const __m128i high = SpreadFour(_mm_loadu_si128(reinterpret_cast<const __m128i*>(source + x + 4)));
                const __m128i packed = _mm_packs_epi32(_mm_sub_epi32(low, half), _mm_sub_epi32(high, half));
                _mm_storeu_si128(reinterpret_cast<__m128i*>(target + x), _mm_add_epi16(packed, back));
            }
        }
    }
#endif
    for (; x < count; ++x) {
        target[x] = static_cast<Pixel>(PixelOf(source[x]));
    }
}

void X11PixelFormat::Convert(const PixelRows& from, std::uint8_t* to, int toStride,
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

}  // namespace platform::x11
