// The snapshot tool's PNG: the picture read back is the image, pixel for pixel.

#include <cairo.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "platform/image/persistent_image.h"
#include "platform/run_time_error.h"
#include "tools/png_encoding.h"

namespace {

using platform::PersistentImage;

struct SurfaceDeleter {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
using Surface = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;

// The PNG's bytes decoded by cairo.
Surface Decode(const std::string& png) {
    struct Reader {
        const std::string* bytes;
        std::size_t at = 0;
    } reader{&png};
    const auto read = [](void* closure, unsigned char* data, unsigned int length) {
        auto& from = *static_cast<Reader*>(closure);
        if (from.at + length > from.bytes->size()) {
            return CAIRO_STATUS_READ_ERROR;
        }
        std::memcpy(data, from.bytes->data() + from.at, length);
        from.at += length;
        return CAIRO_STATUS_SUCCESS;
    };
    return Surface(cairo_image_surface_create_from_png_stream(read, &reader));
}

TEST(PngEncodingTest, ThePictureReadBackIsTheImage) {
    PersistentImage image;
    image.Resize(37, 23, 0x102030);
    image.Line(2, 3, 30, 20, 0xFF0000, 5);
    image.Circle(18, 11, 8, 0x00FF00, 3);
    const std::string png = tools::EncodePng(image);
    ASSERT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");

    const Surface decoded = Decode(png);
    ASSERT_EQ(cairo_surface_status(decoded.get()), CAIRO_STATUS_SUCCESS);
    ASSERT_EQ(cairo_image_surface_get_width(decoded.get()), 37);
    ASSERT_EQ(cairo_image_surface_get_height(decoded.get()), 23);
    const auto* data = cairo_image_surface_get_data(decoded.get());
    const int stride = cairo_image_surface_get_stride(decoded.get());
    int mismatches = 0;
    for (int y = 0; y < 23; ++y) {
        const unsigned char* row = data + static_cast<std::ptrdiff_t>(y) * stride;
        for (int x = 0; x < 37; ++x) {
            std::uint32_t pixel = 0;
            std::memcpy(&pixel, row + static_cast<std::ptrdiff_t>(x) * 4, sizeof pixel);
            mismatches += (pixel & 0xFFFFFFU) != image.PixelAt(x, y) ? 1 : 0;
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(PngEncodingTest, AnEmptyImageIsARunTimeError) {
    PersistentImage image;
    EXPECT_THROW((void)tools::EncodePng(image), platform::RunTimeError);
    image.Resize(3, 3, 0);
    image.Resize(0, 3, 0);
    EXPECT_THROW((void)tools::EncodePng(image), platform::RunTimeError);
}

}  // namespace
