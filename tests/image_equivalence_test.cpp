// The persistent image, however it saves work (clearing only what was drawn,
// keeping a circle drawn again and again at the same place, the widest row
// kernels), against the plain way: a picture cleared whole, and every stroke
// painted over it a pixel at a time. After every call, in long runs of
// frames as the program draws them and in runs where anything goes, the
// two are the same bit for bit, and the changes the image reports bring a
// copy of it up to date.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "platform/image/persistent_image.h"
#include "platform/raster/stroke_raster.h"

namespace {

using platform::PersistentImage;
using platform::PixelColour;
using platform::PixelRows;

// The plain way, with the image's own conventions: points name pixel
// centres, and a resize keeps what fits.
class PlainImage {
public:
    void Resize(int width, int height, PixelColour background) {
        std::vector<std::uint32_t> resized(static_cast<std::size_t>(width) * height, background.Value());
        for (int y = 0; y < std::min(height, height_); ++y) {
            for (int x = 0; x < std::min(width, width_); ++x) {
                resized[static_cast<std::size_t>(y) * width + x] = pixels_[static_cast<std::size_t>(y) * width_ + x];
            }
        }
        pixels_ = std::move(resized);
        width_ = width;
        height_ = height;
    }
    void Clear(PixelColour background) { std::fill(pixels_.begin(), pixels_.end(), background.Value()); }
    void Line(float x1, float y1, float x2, float y2, PixelColour colour, int width) {
        if (pixels_.empty()) {
            return;
        }
        platform::SegmentPlan plan;
        platform::PlanSegment(platform::OneByOneKernels(), width_, height_, x1 + 0.5, y1 + 0.5, x2 + 0.5, y2 + 0.5,
                              width, plan);
        platform::PaintSegment(platform::OneByOneKernels(), Rows(), plan, colour);
    }
    void Circle(float x, float y, float radius, PixelColour colour, int width) {
        if (pixels_.empty()) {
            return;
        }
        platform::Coverage coverage;
        platform::CoverCircle(width_, height_, x + 0.5, y + 0.5, radius, width, coverage);
        std::vector<platform::Span> touched;
        platform::PaintCoverage(platform::OneByOneKernels(), Rows(), coverage, colour, touched);
    }
    [[nodiscard]] const std::vector<std::uint32_t>& Pixels() const { return pixels_; }

private:
    PixelRows Rows() { return {reinterpret_cast<std::uint8_t*>(pixels_.data()), width_, height_, width_ * 4}; }

    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint32_t> pixels_;
};

std::vector<std::uint32_t> PixelsOf(const PersistentImage& image) {
    const PixelRows rows = image.Rows();
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(rows.width) * rows.height);
    for (int y = 0; y < rows.height; ++y) {
        std::memcpy(pixels.data() + static_cast<std::ptrdiff_t>(y) * rows.width, rows.Row(y),
                    static_cast<std::size_t>(rows.width) * 4);
    }
    return pixels;
}

// Both images, and a copy of the persistent one kept up to date with only
// the changes it reports, as a window's is.
class ImageEquivalenceTest : public testing::Test {
protected:
    template <typename Call>
    void Both(Call call) {
        call(image_);
        call(plain_);
    }

    void ExpectSame(const std::string& after) {
        ASSERT_EQ(PixelsOf(image_), plain_.Pixels()) << "after " << after;
        if (image_.Width() != shownWidth_ || image_.Height() != shownHeight_) {
            shown_ = PixelsOf(image_);
            shownWidth_ = image_.Width();
            shownHeight_ = image_.Height();
            (void)image_.TakeChanges();
            return;
        }
        const std::vector<std::uint32_t> now = PixelsOf(image_);
        for (const platform::PixelRect& rect : image_.TakeChanges()) {
            for (int y = rect.y; y < rect.y + rect.height; ++y) {
                for (int x = rect.x; x < rect.x + rect.width; ++x) {
                    const auto at = static_cast<std::size_t>(y) * image_.Width() + x;
                    shown_[at] = now[at];
                }
            }
        }
        ASSERT_EQ(shown_, now) << "a change was not reported, after " << after;
    }

    PersistentImage image_;
    PlainImage plain_;
    std::vector<std::uint32_t> shown_;
    int shownWidth_ = -1;
    int shownHeight_ = -1;
};

// The program's frames: a clear, five strokes turning a degree a frame,
// the same circle; and a resize now and then.
TEST_F(ImageEquivalenceTest, FramesAsTheProgramDrawsThemAreTheSameAfterEveryCall) {
    const PixelColour red{0xFF0000};
    const PixelColour black{0};
    int width = 160;
    int height = 120;
    Both([&](auto& image) { image.Resize(width, height, PixelColour{0xFFFFFF}); });
    for (int frame = 1; frame <= 120; ++frame) {
        if (frame % 50 == 0) {
            width += 17;
            height -= 9;
            Both([&](auto& image) { image.Resize(width, height, black); });
            ExpectSame("a resize");
        }
        Both([&](auto& image) { image.Clear(black); });
        ExpectSame("clear, frame " + std::to_string(frame));
        const float cx = static_cast<float>(width) / 2;
        const float cy = static_cast<float>(height) / 2;
        const float radius = static_cast<float>(std::min(width, height)) / 2;
        for (int k = 0; k < 5; ++k) {
            const double a = (frame + 144.0 * k) * 3.14159265358979 / 180;
            const double b = a + 144.0 * 3.14159265358979 / 180;
            Both([&](auto& image) {
                image.Line(cx + static_cast<float>(radius * std::cos(a)), cy + static_cast<float>(radius * std::sin(a)),
                           cx + static_cast<float>(radius * std::cos(b)), cy + static_cast<float>(radius * std::sin(b)),
                           red, 5);
            });
            ExpectSame("stroke " + std::to_string(k) + ", frame " + std::to_string(frame));
        }
        Both([&](auto& image) { image.Circle(cx, cy, radius, red, 5); });
        ExpectSame("the circle, frame " + std::to_string(frame));
    }
}

// Anything in any order: clears to other colours, circles of other colours
// or none, two in a frame, strokes after the circle, resizes.
TEST_F(ImageEquivalenceTest, AnyOrderOfCallsIsTheSameAfterEveryCall) {
    std::mt19937 random(20261209);
    std::uniform_int_distribution<int> what(0, 99);
    std::uniform_real_distribution<float> anywhere(-10, 110);
    const PixelColour colours[] = {PixelColour{0xFF0000}, PixelColour{0}, PixelColour{0x00FF00}, PixelColour{0x123456}};
    Both([&](auto& image) { image.Resize(100, 80, PixelColour{0}); });
    for (int call = 0; call < 3000; ++call) {
        const int choice = what(random);
        const PixelColour colour = colours[static_cast<std::size_t>(what(random) % 4)];
        // Mostly the same circle and background, so that it is kept.
        const PixelColour usual = choice % 7 == 0 ? colour : PixelColour{0xFF0000};
        std::string name;
        if (choice < 15) {
            name = "clear";
            Both([&](auto& image) { image.Clear(choice % 5 == 0 ? colour : PixelColour{0}); });
        } else if (choice < 60) {
            name = "stroke";
            const float x1 = anywhere(random);
            const float y1 = anywhere(random);
            const float x2 = anywhere(random);
            const float y2 = anywhere(random);
            const int width = 1 + what(random) % 7;
            Both([&](auto& image) { image.Line(x1, y1, x2, y2, colour, width); });
        } else if (choice < 96) {
            name = "circle";
            const bool same = choice < 90;
            const float radius = same ? 35 : 10 + static_cast<float>(what(random) % 30);
            Both([&](auto& image) { image.Circle(same ? 50 : 40, same ? 40 : 45, radius, usual, 5); });
        } else if (choice < 98) {
            name = "resize";
            const int width = 40 + what(random);
            const int height = 30 + what(random);
            Both([&](auto& image) { image.Resize(width, height, colour); });
        } else {
            name = "nothing";
        }
        // Not every call is followed by a look at the picture: work owed
        // may pile up between looks.
        if (what(random) < 60) {
            ExpectSame(name + ", call " + std::to_string(call));
        }
    }
    ExpectSame("the end");
}

}  // namespace
