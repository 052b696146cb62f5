#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

// 32-bit xRGB pixels (0x00RRGGBB) in rows of `stride` bytes.
struct PixelRows {
    std::uint8_t* data = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;

    [[nodiscard]] std::uint32_t* Row(int y) const {
        return reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
    }
};

// A run of pixels on one row, [x0, x1).
struct Span {
    int y = 0;
    int x0 = 0;
    int x1 = 0;
};

}  // namespace platform
