// The picture a frame leaves in the persistent image of an offscreen form.

#include <gtest/gtest.h>
#include <numbers>

#include <cmath>
#include <vector>

#include "app/form1.h"
#include "platform/form/form_runtime.h"
#include "platform/image/persistent_image.h"
#include "platform/offscreen/offscreen_form.h"

namespace {

using platform::OffscreenForm;
using platform::PersistentImage;
using platform::ScriptedEvent;

constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kRed = 0xFF0000;  // as the image holds it: 0xRRGGBB

// Every pixel of the image, row after row.
std::vector<std::uint32_t> AllPixels(const PersistentImage& image) {
    std::vector<std::uint32_t> pixels;
    for (int y = 0; y < image.Height(); ++y) {
        for (int x = 0; x < image.Width(); ++x) {
            pixels.push_back(image.PixelAt(x, y));
        }
    }
    return pixels;
}

bool IsRed(std::uint32_t pixel) { return (pixel >> 16) >= 0x80 && (pixel & 0xFFFFU) == 0; }

// The image after the given number of frames at the given size.
class FrameImageTest : public testing::Test {
protected:
    void RunFrames(int width, int height, std::uint64_t frames) {
        form_ = std::make_unique<OffscreenForm>(app::Form1::Design(), width, height);
        form1_ = std::make_unique<app::Form1>(*form_, ".");
        form_->At(frames + 1, {ScriptedEvent::Kind::Click});
        const auto error = platform::RunForm(*form_, *form1_);
        ASSERT_FALSE(error) << *error;
    }

    [[nodiscard]] const PersistentImage& Image() const { return form_->Image(); }

    std::unique_ptr<OffscreenForm> form_;
    std::unique_ptr<app::Form1> form1_;
};

TEST_F(FrameImageTest, TheCircleTouchesTheTopAndBottomRowsAtTheCentreColumn) {
    RunFrames(1024, 740, 1);
    EXPECT_TRUE(IsRed(Image().PixelAt(512, 0)));
    EXPECT_TRUE(IsRed(Image().PixelAt(512, 739)));
    // ...and stays clear of the sides, which are further away.
    EXPECT_EQ(Image().PixelAt(512 - 370 - 4, 370), kBlack);
    EXPECT_EQ(Image().PixelAt(512 + 370 + 4, 370), kBlack);
    EXPECT_TRUE(IsRed(Image().PixelAt(512 - 370, 370)));
    EXPECT_TRUE(IsRed(Image().PixelAt(512 + 370, 370)));
}

TEST_F(FrameImageTest, IsRedAtTheFiveVerticesAndBlackInTheCentreAndCorners) {
    RunFrames(1024, 740, 1);
    for (int k = 0; k < 5; ++k) {
        const double theta = (1 + 72.0 * k) * std::numbers::pi / 180;
        const int x = static_cast<int>(std::lround(512 + 370 * std::cos(theta)));
        const int y = std::min(739, static_cast<int>(std::lround(370 + 370 * std::sin(theta))));
        EXPECT_EQ(Image().PixelAt(x, y), kRed) << "vertex " << k << " at " << x << ", " << y;
    }
    EXPECT_EQ(Image().PixelAt(512, 370), kBlack);
    EXPECT_EQ(Image().PixelAt(0, 0), kBlack);
    EXPECT_EQ(Image().PixelAt(1023, 0), kBlack);
    EXPECT_EQ(Image().PixelAt(0, 739), kBlack);
    EXPECT_EQ(Image().PixelAt(1023, 739), kBlack);
}

TEST_F(FrameImageTest, NoSideOfThePentagonIsDrawn) {
    RunFrames(1024, 740, 1);
    // The middle of the chord from vertex 0 to vertex 1 lies inside the
    // circle, away from every diagonal.
    const double a0 = 1 * std::numbers::pi / 180;
    const double a1 = 73 * std::numbers::pi / 180;
    const int x = static_cast<int>(std::lround(512 + 370 * (std::cos(a0) + std::cos(a1)) / 2));
    const int y = static_cast<int>(std::lround(370 + 370 * (std::sin(a0) + std::sin(a1)) / 2));
    EXPECT_EQ(Image().PixelAt(x, y), kBlack);
}

TEST_F(FrameImageTest, EachFrameClearsThePreviousOne) {
    RunFrames(1024, 740, 1);
    const double theta = 1 * std::numbers::pi / 180;
    // Vertex 0 of frame 1, half way along its first diagonal towards vertex 2.
    const double x2 = 512 + 370 * std::cos(theta + 144 * std::numbers::pi / 180);
    const double y2 = 370 + 370 * std::sin(theta + 144 * std::numbers::pi / 180);
    const int mx = static_cast<int>(std::lround((512 + 370 * std::cos(theta) + x2) / 2));
    const int my = static_cast<int>(std::lround((370 + 370 * std::sin(theta) + y2) / 2));
    EXPECT_TRUE(IsRed(Image().PixelAt(mx, my)));
    // Thirty degrees on, that stroke has moved away and left no trace.
    RunFrames(1024, 740, 31);
    EXPECT_EQ(Image().PixelAt(mx, my), kBlack);
}

TEST(ImageFormTest, DrawsInTheColourItIsGivenAsBlueGreenRed) {
    OffscreenForm form(app::Form1::Design(), 20, 20);
    form.BackColor(0);
    form.Cls();
    form.ForeColor(0xFF0000);  // blue in 0x00BBGGRR
    form.DrawWidth(3);
    form.Line(2, 10, 17, 10);
    EXPECT_EQ(form.Image().PixelAt(10, 10), 0x0000FFU);
    form.BackColor(0x0000FF);  // red
    form.Cls();
    EXPECT_EQ(form.Image().PixelAt(10, 10), kRed);
}

TEST(PersistentImageTest, ResizingKeepsWhatFitsAndFillsTheRest) {
    PersistentImage image;
    image.Resize(10, 10, platform::PixelColour{kRed});
    image.Resize(20, 5, platform::PixelColour{kBlack});
    EXPECT_EQ(image.PixelAt(9, 4), kRed);
    EXPECT_EQ(image.PixelAt(15, 4), kBlack);
    // The kept picture goes with the next clear like anything drawn.
    image.Clear(platform::PixelColour{0x000000});
    EXPECT_EQ(image.PixelAt(9, 4), kBlack);
    image.Resize(30, 6, platform::PixelColour{0x00FF00});
    EXPECT_EQ(image.PixelAt(29, 5), 0x00FF00U);
    image.Clear(platform::PixelColour{0x000000});
    EXPECT_EQ(image.PixelAt(29, 5), kBlack) << "a clear to another colour is whole";
    image.Resize(0, 0, platform::PixelColour{0});
    EXPECT_EQ(image.Width(), 0);
    EXPECT_EQ(image.Pixels(), nullptr);
    // Drawing on nothing is nothing, not a fault.
    image.Line(0, 0, 5, 5, platform::PixelColour{kRed}, 5);
    image.Circle(0, 0, 3, platform::PixelColour{kRed}, 5);
    EXPECT_THROW((void)image.PixelAt(0, 0), std::out_of_range);
}

// The image keeps a circle's coverage while the same circle is drawn again;
// any other circle, or the same one on an image of another size, must be
// drawn as if it were the first.
TEST(PersistentImageTest, ACircleDrawnAfterAnotherLooksAsIfDrawnFirst) {
    const auto circleAlone = [](int width, int height, float x, float y, float radius, int strokeWidth) {
        PersistentImage image;
        image.Resize(width, height, platform::PixelColour{0});
        image.Circle(x, y, radius, platform::PixelColour{kRed}, strokeWidth);
        return AllPixels(image);
    };
    PersistentImage image;
    image.Resize(64, 48, platform::PixelColour{0});
    const auto redraw = [&](float x, float y, float radius, int strokeWidth) {
        image.Clear(platform::PixelColour{0});
        image.Circle(x, y, radius, platform::PixelColour{kRed}, strokeWidth);
        return AllPixels(image);
    };
    EXPECT_EQ(redraw(32, 24, 20, 5), circleAlone(64, 48, 32, 24, 20, 5));
    EXPECT_EQ(redraw(32, 24, 20, 5), circleAlone(64, 48, 32, 24, 20, 5)) << "the same circle again";
    EXPECT_EQ(redraw(30, 24, 20, 5), circleAlone(64, 48, 30, 24, 20, 5)) << "moved across";
    EXPECT_EQ(redraw(30, 20, 20, 5), circleAlone(64, 48, 30, 20, 20, 5)) << "moved down";
    EXPECT_EQ(redraw(30, 20, 12, 5), circleAlone(64, 48, 30, 20, 12, 5)) << "smaller";
    EXPECT_EQ(redraw(30, 20, 12, 3), circleAlone(64, 48, 30, 20, 12, 3)) << "thinner";
    image.Resize(40, 30, platform::PixelColour{0});
    EXPECT_EQ(redraw(30, 20, 12, 3), circleAlone(40, 30, 30, 20, 12, 3)) << "on a smaller image";
}

}  // namespace
