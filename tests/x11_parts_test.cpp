// Parts of the X11 window that need no display: how it turns the image's
// pixels into a display's, and how it reads the desktop's scale.

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/form/form_properties.h"
#include "platform/image/pixel_format.h"
#include "platform/x11/x11_resources.h"

namespace {

using platform::PixelFormat;
using platform::PixelLayout;

PixelFormat FormatFor(const PixelLayout& layout) {
    std::string why;
    const auto format = PixelFormat::For(layout, why);
    EXPECT_TRUE(format) << why;
    return format.value_or(PixelFormat{});
}

TEST(PixelFormatTest, EachDisplayGetsRedGreenBlueAndGreyInItsOwnBits) {
    struct Case {
        const char* name;
        PixelLayout layout;
        bool sameAsImage;
        std::uint32_t red;
        std::uint32_t green;
        std::uint32_t blue;
        std::uint32_t grey;  // of 0x808080
    };
    const Case cases[] = {
        {"true colour", {24, 32, 0xFF0000, 0x00FF00, 0x0000FF, false}, true, 0xFF0000, 0x00FF00, 0x0000FF, 0x808080},
        {"deep colour",
         {30, 32, 0x3FF00000, 0x000FFC00, 0x000003FF, false},
         false,
         0x3FF00000,
         0x000FFC00,
         0x000003FF,
         (0x202U << 20) | (0x202U << 10) | 0x202U},
        {"high colour 565", {16, 16, 0xF800, 0x07E0, 0x001F, false}, false, 0xF800, 0x07E0, 0x001F, 0x8410},
        {"high colour 555", {15, 16, 0x7C00, 0x03E0, 0x001F, false}, false, 0x7C00, 0x03E0, 0x001F, 0x4210},
        {"blue first", {24, 32, 0x0000FF, 0x00FF00, 0xFF0000, false}, false, 0x0000FF, 0x00FF00, 0xFF0000, 0x808080},
        {"a big-endian server",
         {24, 32, 0xFF0000, 0x00FF00, 0x0000FF, true},
         false,
         0x0000FF00,
         0x00FF0000,
         0xFF000000,
         0x80808000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const PixelFormat format = FormatFor(c.layout);
        EXPECT_EQ(format.SameAsImage(), c.sameAsImage);
        EXPECT_EQ(format.BytesPerPixel(), c.layout.bitsPerPixel / 8);
        EXPECT_EQ(format.PixelOf(0xFF0000), c.red);
        EXPECT_EQ(format.PixelOf(0x00FF00), c.green);
        EXPECT_EQ(format.PixelOf(0x0000FF), c.blue);
        EXPECT_EQ(format.PixelOf(0x808080), c.grey);
        EXPECT_EQ(format.PixelOf(0x000000), 0U);
    }
}

TEST(PixelFormatTest, ADisplayWithoutTrueColourIsRefusedWithItsDepth) {
    for (const PixelLayout& layout :
         {PixelLayout{8, 8, 0xE0, 0x1C, 0x03, false}, PixelLayout{24, 24, 0xFF0000, 0x00FF00, 0x0000FF, false},
          PixelLayout{16, 16, 0, 0, 0, false}}) {
        std::string why;
        EXPECT_FALSE(PixelFormat::For(layout, why));
        EXPECT_NE(why.find("depth is " + std::to_string(layout.depth) + " bits"), std::string::npos) << why;
    }
}

TEST(PixelFormatTest, ConvertsOnlyTheRectanglesAskedFor) {
    std::vector<std::uint32_t> image{0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF,  //
                                     0x123456, 0x654321, 0x000000, 0xFF00FF};
    const platform::PixelRows rows{reinterpret_cast<std::uint8_t*>(image.data()), 4, 2, 16};
    const PixelFormat format = FormatFor({16, 16, 0xF800, 0x07E0, 0x001F, false});
    // Rows of 16-bit pixels, padded to 12 bytes: what lies outside the rectangle stays.
    std::vector<std::uint16_t> converted(12, 0xAAAA);
    format.Convert(rows, reinterpret_cast<std::uint8_t*>(converted.data()), 12, {{1, 0, 2, 2}});
    const std::vector<std::uint16_t> expected{0xAAAA, 0x07E0, 0x001F, 0xAAAA, 0xAAAA, 0xAAAA,
                                              0xAAAA, 0x6204, 0x0000, 0xAAAA, 0xAAAA, 0xAAAA};
    EXPECT_EQ(converted, expected);
}

TEST(DesktopScaleTest, XftDpiGivesTheDotsPerInchAndNonsenseTheStandard) {
    using platform::x11::DotsPerInchFrom;
    using platform::x11::XftDpiIn;
    EXPECT_EQ(XftDpiIn("Xft.dpi:\t192\n"), "\t192");
    EXPECT_EQ(XftDpiIn("Xcursor.size:\t24\nXft.dpi : 120\nXft.dpi:144"), "144") << "the last one counts";
    EXPECT_EQ(XftDpiIn("Xft.dpiX:\t192\n*dpi:\t192\nXft.antialias:\t1"), std::nullopt);
    EXPECT_EQ(XftDpiIn(""), std::nullopt);
    EXPECT_EQ(DotsPerInchFrom(std::nullopt), 96);
    EXPECT_EQ(DotsPerInchFrom("192"), 192);
    EXPECT_EQ(DotsPerInchFrom("144.5"), 144.5);
    EXPECT_EQ(DotsPerInchFrom(" 120 "), 120);
    for (const char* nonsense : {"", "abc", "0", "-96", "1e9", "96x", "9999"}) {
        EXPECT_EQ(DotsPerInchFrom(nonsense), 96) << "'" << nonsense << "'";
    }
}

TEST(DesktopScaleTest, TheNormalClientAreaIsTwipsAtTheDesktopsDotsPerInch) {
    using platform::TwipsToPixels;
    EXPECT_EQ(TwipsToPixels(4680), 312);
    EXPECT_EQ(TwipsToPixels(3195), 213);
    EXPECT_EQ(TwipsToPixels(4680, 192), 624);
    EXPECT_EQ(TwipsToPixels(3195, 192), 426);
    EXPECT_EQ(TwipsToPixels(3195, 144), 320);  // 319.5, to the nearest
    EXPECT_EQ(TwipsToPixels(4680, 120), 390);
}

}  // namespace
