// Pictures of what an X screen shows, whatever the display's depth.

#include <X11/Xutil.h>

#include <algorithm>
#include <bit>
#include <cstring>

#include "tests/desktop/x_client.h"

namespace desktop {
namespace {

// A channel's bits as 0..255, however many bits the display gives it.
std::uint32_t Channel(unsigned long pixel, unsigned long mask) {
    if (mask == 0) {
        return 0;
    }
    const auto value = static_cast<std::uint32_t>((pixel & mask) >> std::countr_zero(mask));
    const int bits = std::popcount(mask);
    const std::uint32_t largest = (1U << bits) - 1;
    return bits >= 8 ? value >> (bits - 8) : (value * 255 + largest / 2) / largest;
}

}  // namespace

Picture XClient::Capture(Window window) {
    Picture picture;
    const auto area = ClientArea(window);
    if (!area || area->width <= 0 || area->height <= 0) {
        return picture;
    }
    picture.width = area->width;
    picture.height = area->height;
    picture.pixels.assign(static_cast<std::size_t>(area->width) * area->height, kOffScreen);
    // Read from the root window, which may show only part of the window:
    // a window larger than the screen or moved off it cannot be read whole.
    const int screenWidth = DisplayWidth(display_, DefaultScreen(display_));
    const int screenHeight = DisplayHeight(display_, DefaultScreen(display_));
    const int left = std::max(area->x, 0);
    const int top = std::max(area->y, 0);
    const int right = std::min(area->x + area->width, screenWidth);
    const int bottom = std::min(area->y + area->height, screenHeight);
    if (right <= left || bottom <= top) {
        return picture;
    }
    XImage* image = XGetImage(display_, DefaultRootWindow(display_), left, top, static_cast<unsigned>(right - left),
                              static_cast<unsigned>(bottom - top), AllPlanes, ZPixmap);
    if (image == nullptr) {
        return picture;
    }
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            const unsigned long pixel = XGetPixel(image, x - left, y - top);
            picture.pixels[static_cast<std::size_t>(y - area->y) * area->width + (x - area->x)] =
                (Channel(pixel, image->red_mask) << 16) | (Channel(pixel, image->green_mask) << 8) |
                Channel(pixel, image->blue_mask);
        }
    }
    XDestroyImage(image);
    return picture;
}

}  // namespace desktop
