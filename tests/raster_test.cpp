// Our strokes held against cairo's: the same frame drawn both ways must look
// the same, with small differences only along the strokes' edges.

#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <sstream>
#include <string>

#include "app/form1.h"
#include "platform/form/form_runtime.h"
#include "platform/image/persistent_image.h"
#include "tests/recording_form.h"
#include "tests/support/cairo_image.h"

namespace {

using platform::ScriptedEvent;
using testing_support::RecordingForm;

struct Comparison {
    int largestDifference = 0;  // in the red channel, 0 to 255
    int missing = 0;            // solid in cairo's picture, faint or absent in ours
    int extra = 0;              // background in cairo's, drawn in ours
};

// Runs the frames, then strokes the last frame's segments and circle again
// with cairo on black and compares the two pictures.
Comparison CompareWithCairo(int width, int height, std::uint64_t frames) {
    RecordingForm form(width, height);
    app::Form1 form1(form, ".");
    form.Offscreen().At(frames + 1, {ScriptedEvent::Kind::Close});
    EXPECT_FALSE(platform::RunForm(form, form1));

    const CairoImage reference(width, height);
    cairo_t* cr = reference.context.get();
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_paint(cr);
    cairo_set_source_rgb(cr, 1, 0, 0);
    cairo_set_line_width(cr, 5);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    const auto& journal = form.Journal();
    const auto lastCls = std::find(journal.rbegin(), journal.rend(), "Cls").base();
    for (auto entry = lastCls; entry != journal.end(); ++entry) {
        std::istringstream numbers(entry->substr(entry->find(' ') + 1));
        if (entry->starts_with("Line ")) {
            float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
            numbers >> x1 >> y1 >> x2 >> y2;
            cairo_move_to(cr, x1 + 0.5, y1 + 0.5);
            cairo_line_to(cr, x2 + 0.5, y2 + 0.5);
            cairo_stroke(cr);
        } else if (entry->starts_with("Circle ")) {
            float x = 0, y = 0, r = 0;
            numbers >> x >> y >> r;
            cairo_new_sub_path(cr);
            cairo_arc(cr, x + 0.5, y + 0.5, r, 0, 2 * std::numbers::pi);
            cairo_stroke(cr);
        }
    }
    cairo_surface_flush(reference.surface.get());

    Comparison result;
    const auto* pixels = cairo_image_surface_get_data(reference.surface.get());
    const int stride = cairo_image_surface_get_stride(reference.surface.get());
    const auto& ours = form.Offscreen().Image();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const auto expected =
                (reinterpret_cast<const std::uint32_t*>(pixels + static_cast<std::ptrdiff_t>(y) * stride)[x] >> 16) &
                0xFFU;
            const auto got = (ours.PixelAt(x, y) >> 16) & 0xFFU;
            result.largestDifference =
                std::max(result.largestDifference, std::abs(static_cast<int>(expected) - static_cast<int>(got)));
            result.missing += (expected >= 224 && got < 160) ? 1 : 0;
            result.extra += (expected == 0 && got > 96) ? 1 : 0;
        }
    }
    return result;
}

TEST(StrokeRasterTest, LooksLikeCairoAtEveryKindOfTurn) {
    for (const std::uint64_t frames : {1, 18, 45, 90, 133}) {
        const Comparison c = CompareWithCairo(1024, 740, frames);
        EXPECT_EQ(c.missing, 0) << "frame " << frames;
        EXPECT_EQ(c.extra, 0) << "frame " << frames;
        EXPECT_LE(c.largestDifference, 48) << "frame " << frames;
    }
}

TEST(StrokeRasterTest, LooksLikeCairoAtFullHdAndInATinyWindow) {
    for (const auto& [width, height] : {std::pair{1920, 1080}, std::pair{312, 213}, std::pair{7, 5}}) {
        const Comparison c = CompareWithCairo(width, height, 7);
        EXPECT_EQ(c.missing, 0) << width << " x " << height;
        EXPECT_EQ(c.extra, 0) << width << " x " << height;
        EXPECT_LE(c.largestDifference, 48) << width << " x " << height;
    }
}

// Clearing only what was drawn leaves the same picture as clearing it all.
TEST(StrokeRasterTest, ClearingWhatWasDrawnEqualsClearingEverything) {
    platform::PersistentImage many;
    platform::PersistentImage once;
    many.Resize(200, 150, platform::PixelColour{0});
    once.Resize(200, 150, platform::PixelColour{0});
    for (int frame = 0; frame < 20; ++frame) {
        many.Clear(platform::PixelColour{0});
        many.Line(static_cast<float>(10 + frame * 7), 20, 150, static_cast<float>(140 - frame * 5),
                  platform::PixelColour{0xFF}, 5);
        many.Circle(100, 75, static_cast<float>(20 + frame * 2), platform::PixelColour{0xFF}, 5);
    }
    once.Clear(platform::PixelColour{0});
    once.Line(10 + 19 * 7, 20, 150, 140 - 19 * 5, platform::PixelColour{0xFF}, 5);
    once.Circle(100, 75, 20 + 19 * 2, platform::PixelColour{0xFF}, 5);
    for (int y = 0; y < 150; ++y) {
        for (int x = 0; x < 200; ++x) {
            ASSERT_EQ(many.PixelAt(x, y), once.PixelAt(x, y)) << x << ", " << y;
        }
    }
    // A clear to another colour reaches every pixel.
    many.Clear(platform::PixelColour{0x00FF00});
    EXPECT_EQ(many.PixelAt(0, 0), 0x00FF00U);
    EXPECT_EQ(many.PixelAt(199, 149), 0x00FF00U);
}

// Every pixel a stroke reaches is blended once, by the coverage its distance
// from the stroke gives, and every pixel out of its reach is left exactly as
// it was: over a coloured background, near the image's edges, and on a
// circle small enough for its ring to cross a row in two runs close together.
TEST(StrokeRasterTest, EachPixelIsBlendedOnceByItsDistanceAndNothingElseChanges) {
    constexpr int kWidth = 61;
    constexpr int kHeight = 47;
    constexpr std::uint32_t kBackgroundPixel = 0x204060;  // red, green, blue
    constexpr std::uint32_t kRedPixel = 0xFF0000;
    constexpr double kReach = 3;  // half of 5 px, and the half-pixel fade
    struct Segment {
        float x1, y1, x2, y2;
    };
    const auto segmentDistance = [](const Segment& s, double px, double py) {
        const double dx = s.x2 - s.x1;
        const double dy = s.y2 - s.y1;
        const double lengthSquared = dx * dx + dy * dy;
        const double t =
            lengthSquared > 0 ? std::clamp(((px - s.x1) * dx + (py - s.y1) * dy) / lengthSquared, 0.0, 1.0) : 0;
        return std::hypot(px - s.x1 - t * dx, py - s.y1 - t * dy);
    };
    // The coverage a distance gives, blended once over the background.
    const auto blendedRed = [&](double distance) {
        const double coverage = std::clamp(kReach - distance, 0.0, 1.0);
        return static_cast<int>(std::lround(0x20 + (0xFF - 0x20) * coverage));
    };
    const auto check = [&](const platform::PersistentImage& image, const auto& distanceAt, const std::string& what) {
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const double distance = distanceAt(x, y);
                const std::uint32_t pixel = image.PixelAt(x, y);
                if (distance >= kReach + 0.01) {
                    ASSERT_EQ(pixel, kBackgroundPixel) << what << ": out of reach at " << x << ", " << y;
                } else {
                    ASSERT_NEAR(static_cast<int>(pixel >> 16), blendedRed(distance), 3)
                        << what << ": at " << x << ", " << y << ", " << distance << " px from the stroke";
                }
            }
        }
    };
    for (const Segment& segment : {Segment{5, 5, 55, 41}, Segment{-3, 20, 70, 23}, Segment{30, -10, 31, 60},
                                   Segment{58, 2, 2, 44}, Segment{20, 20, 20.4F, 20.2F}, Segment{0, 46, 60, 46}}) {
        platform::PersistentImage image;
        image.Resize(kWidth, kHeight, platform::PixelColour{kBackgroundPixel});
        image.Line(segment.x1, segment.y1, segment.x2, segment.y2, platform::PixelColour{kRedPixel}, 5);
        check(
            image, [&](int x, int y) { return segmentDistance(segment, x, y); },
            "segment from " + std::to_string(segment.x1) + ", " + std::to_string(segment.y1));
    }
    for (const float radius : {4.0F, 9.05F, 14.1F, 21.5F, 40.0F}) {
        platform::PersistentImage image;
        image.Resize(kWidth, kHeight, platform::PixelColour{kBackgroundPixel});
        image.Circle(29, 22, radius, platform::PixelColour{kRedPixel}, 5);
        check(
            image, [&](int x, int y) { return std::abs(std::hypot(x - 29.0, y - 22.0) - radius); },
            "circle of radius " + std::to_string(radius));
    }
}

}  // namespace
