#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// What the desktop tests look at: rectangles of a screen and pictures of them.
namespace desktop {

// Pixels read back from the screen, as 0xRRGGBB; kOffScreen where the
// window lies outside the screen and nothing could be read.
inline constexpr std::uint32_t kOffScreen = 0xFF000000U;

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    [[nodiscard]] std::uint32_t At(int x, int y) const { return pixels.at(static_cast<std::size_t>(y) * width + x); }
    void WritePng(const std::string& path) const;
    // A PNG file's picture; empty when the bytes are not one.
    [[nodiscard]] static Picture FromPng(const std::string& bytes);
};

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

inline constexpr std::uint32_t kBlack = 0x000000;

inline bool IsRedDominant(std::uint32_t pixel) {
    const auto red = (pixel >> 16) & 0xFFU;
    const auto green = (pixel >> 8) & 0xFFU;
    const auto blue = pixel & 0xFFU;
    return red >= 0x80 && green < 0x40 && blue < 0x40;
}

// True if some pixel within the square around (x, y) is red.
inline bool RedNear(const Picture& picture, int x, int y, int reach = 2) {
    for (int dy = -reach; dy <= reach; ++dy) {
        for (int dx = -reach; dx <= reach; ++dx) {
            const int px = x + dx;
            const int py = y + dy;
            if (px >= 0 && py >= 0 && px < picture.width && py < picture.height && picture.At(px, py) != kOffScreen &&
                IsRedDominant(picture.At(px, py))) {
                return true;
            }
        }
    }
    return false;
}

// True if the picture shows the figure fitted to it: the circle touches the
// two sides nearer each other, and the middle, inside the pentagram, is
// background. Parts of the window off the screen are not judged.
inline bool FigureFits(const Picture& picture) {
    const int w = picture.width;
    const int h = picture.height;
    if (w <= 0 || h <= 0) {
        return false;
    }
    const std::pair<int, int> touches[2] = {w >= h ? std::pair{w / 2, 0} : std::pair{0, h / 2},
                                            w >= h ? std::pair{w / 2, h - 1} : std::pair{w - 1, h / 2}};
    for (const auto& [x, y] : touches) {
        if (picture.At(x, y) != kOffScreen && !RedNear(picture, x, y)) {
            return false;
        }
    }
    const bool roomyMiddle = std::min(w, h) > 40;
    return !roomyMiddle || picture.At(w / 2, h / 2) == kOffScreen || picture.At(w / 2, h / 2) == kBlack;
}

}  // namespace desktop
