// The snapshot tool's PNG: the picture read back is the image, pixel for pixel.

#include <gtest/gtest.h>

#include <string>

#include "platform/image/persistent_image.h"
#include "platform/run_time_error.h"
#include "tests/desktop/picture.h"
#include "tools/png_encoding.h"

namespace {

using platform::PersistentImage;

TEST(PngEncodingTest, ThePictureReadBackIsTheImage) {
    PersistentImage image;
    image.Resize(37, 23, platform::PixelColour{0x102030});
    image.Line(2, 3, 30, 20, platform::PixelColour{0xFF0000}, 5);
    image.Circle(18, 11, 8, platform::PixelColour{0x00FF00}, 3);
    const std::string png = tools::EncodePng(image);
    ASSERT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");

    const desktop::Picture decoded = desktop::Picture::FromPng(png);
    ASSERT_EQ(decoded.width, 37);
    ASSERT_EQ(decoded.height, 23);
    int mismatches = 0;
    for (int y = 0; y < 23; ++y) {
        for (int x = 0; x < 37; ++x) {
            mismatches += decoded.At(x, y) != image.PixelAt(x, y) ? 1 : 0;
        }
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(PngEncodingTest, AnEmptyImageIsARunTimeError) {
    PersistentImage image;
    EXPECT_THROW((void)tools::EncodePng(image), platform::RunTimeError);
    image.Resize(3, 3, platform::PixelColour{0});
    image.Resize(0, 3, platform::PixelColour{0});
    EXPECT_THROW((void)tools::EncodePng(image), platform::RunTimeError);
}

}  // namespace
