// Each instruction set's row kernels against the definitions, a pixel at a
// time, bit for bit: every length of a row and every alignment, over any
// pixels, in any colour, for strokes at any angle. One table of the paths
// the program has; a path this processor cannot run fails under CI (which
// must run every one), and elsewhere is skipped saying so.

#include "platform/raster/row_kernels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "platform/raster/coverage_blend.h"
#include "platform/raster/stroke_raster.h"

namespace {

using platform::BandRow;
using platform::CapsuleRow;
using platform::PixelColour;
using platform::RowKernels;
using platform::SegmentRow;
using platform::Span;

struct Path {
    std::string name;
    const RowKernels* (*kernels)();
};

std::vector<Path> Paths() {
    std::vector<Path> paths;
    if (platform::kBuiltWithSse2) {
        paths.push_back({"sse2", [] { return &platform::Sse2Kernels(); }});
    }
    if (platform::kBuiltWithAvx2) {
        paths.push_back({"avx2", platform::Avx2Kernels});
    }
    if (platform::kBuiltWithNeon) {
        paths.push_back({"neon", platform::NeonKernels});
    }
    return paths;
}

std::string NameOf(const testing::TestParamInfo<Path>& info) { return info.param.name; }
// Test names and messages show a path by its name.
void PrintTo(const Path& path, std::ostream* out) { *out << path.name; }

class RowKernelsTest : public testing::TestWithParam<Path> {
protected:
    void SetUp() override {
        kernels_ = GetParam().kernels();
        if (kernels_ == nullptr) {
            const std::string why = "this processor cannot run the " + GetParam().name + " path";
            if (std::getenv("CI") != nullptr) {
                FAIL() << why << ", and CI must test every path the program has";
            }
            GTEST_SKIP() << why;
        }
    }

    [[nodiscard]] const RowKernels& Kernels() const { return *kernels_; }

    std::mt19937 random_{20261209};
    // All four bytes: an opaque RGBA image's fourth is 255, an xRGB one's 0.
    std::uniform_int_distribution<std::uint32_t> anyPixel_{0, 0xFFFFFFFFU};
    std::uniform_real_distribution<float> position_{0, 200};

    std::vector<std::uint32_t> AnyPixels(int count) {
        std::vector<std::uint32_t> pixels(static_cast<std::size_t>(count));
        for (std::uint32_t& pixel : pixels) {
            pixel = anyPixel_(random_);
        }
        return pixels;
    }

private:
    const RowKernels* kernels_ = nullptr;
};

TEST_P(RowKernelsTest, BlendAndFillMatchTheDefinitionsForEveryLengthAndAlignment) {
    std::uniform_int_distribution<int> anyCoverage(0, 255);
    for (int count = 0; count <= 35; ++count) {
        for (int offset = 0; offset < 8; ++offset) {
            std::vector<std::uint32_t> pixels = AnyPixels(offset + count);
            std::vector<std::uint8_t> coverage(pixels.size());
            for (std::uint8_t& value : coverage) {
                // Whole and no coverage often, as a stroke has them.
                const int drawn = anyCoverage(random_);
                value = static_cast<std::uint8_t>(drawn < 40 ? 0 : drawn > 215 ? 255 : drawn);
            }
            const PixelColour colour{anyPixel_(random_)};
            std::vector<std::uint32_t> expected = pixels;
            platform::BlendRowOneByOne(expected.data() + offset, coverage.data() + offset, count, colour);
            Kernels().blendRow(pixels.data() + offset, coverage.data() + offset, count, colour);
            ASSERT_EQ(pixels, expected) << "blend of " << count << " pixels from " << offset;

            std::fill(expected.begin() + offset, expected.end(), colour.Value());
            Kernels().fillRow(pixels.data() + offset, count, colour);
            ASSERT_EQ(pixels, expected) << "fill of " << count << " pixels from " << offset;
        }
    }
}

TEST_P(RowKernelsTest, StrokeRowsAndFilledSpansMatchTheDefinitionsBitForBit) {
    for (int trial = 0; trial < 400; ++trial) {
        const int count = trial % 37;
        const PixelColour colour{anyPixel_(random_)};
        const std::vector<std::uint32_t> before = AnyPixels(count);
        std::vector<std::uint8_t> coverage(before.size());

        // Near a stroke's round ends: the exact distance from the segment.
        const float x1 = position_(random_);
        const float y1 = position_(random_);
        const float dx = position_(random_) - x1;
        const float dy = position_(random_) - y1;
        const float lengthSquared = dx * dx + dy * dy;
        const CapsuleRow capsule{
            position_(random_),         x1, y1, dx, dy, lengthSquared > 0 ? 1 / lengthSquared : 0.0F,
            3 + position_(random_) / 50};
        const int x0 = static_cast<int>(position_(random_)) - 20;
        std::vector<std::uint32_t> painted = before;
        std::vector<std::uint32_t> expected = before;
        Kernels().paintCapsuleRow(capsule, x0, count, colour, painted.data());
        platform::CoverCapsuleRowOneByOne(capsule, x0, count, coverage.data());
        platform::BlendRowOneByOne(expected.data(), coverage.data(), count, colour);
        ASSERT_EQ(painted, expected) << "capsule row, trial " << trial;

        // Between them: the band rows among four rows of an image, each
        // with its own start; the row near an end is left alone.
        const float step = position_(random_) / 100 - 1;
        const float edge = 3 + position_(random_) / 50;
        const int width = count + 3;
        painted = expected = AnyPixels(4 * width);
        std::vector<SegmentRow> rows;
        for (int y = 0; y < 4; ++y) {
            const int from = y % 4;
            rows.push_back({y, from, from + count, y != 2, position_(random_) / 10 - 10});
            if (rows.back().band) {
                platform::CoverBandRowOneByOne({rows.back().across, step, edge}, 0, count, coverage.data());
                platform::BlendRowOneByOne(expected.data() + std::ptrdiff_t{y} * width + from, coverage.data(), count,
                                           colour);
            }
        }
        Kernels().paintBandRows(reinterpret_cast<std::uint8_t*>(painted.data()), std::ptrdiff_t{width} * 4, rows.data(),
                                static_cast<int>(rows.size()), step, edge, colour);
        ASSERT_EQ(painted, expected) << "band rows, trial " << trial;

        // Spans cleared, in those rows.
        const std::vector<Span> spans{{0, 0, count}, {1, 3, 3 + count}, {3, 1, 1 + count / 2}};
        for (const Span& span : spans) {
            const std::ptrdiff_t row = std::ptrdiff_t{span.y} * width;
            std::fill(expected.begin() + row + span.x0, expected.begin() + row + span.x1, colour.Value());
        }
        Kernels().fillSpans(reinterpret_cast<std::uint8_t*>(painted.data()), std::ptrdiff_t{width} * 4, spans.data(),
                            static_cast<int>(spans.size()), colour);
        ASSERT_EQ(painted, expected) << "spans filled, trial " << trial;
    }
}

// A segment's rows planned with the path's shortcut for the middle rows are
// the rows planned every one the general way: strokes at any angle, of any
// width, partly or wholly off the image.
TEST_P(RowKernelsTest, SegmentsArePlannedAsEveryRowTheGeneralWay) {
    std::uniform_real_distribution<double> anywhere(-60, 260);
    std::uniform_int_distribution<int> anyWidth(1, 9);
    platform::SegmentPlan fast;
    platform::SegmentPlan general;
    int middleRows = 0;
    for (int trial = 0; trial < 2000; ++trial) {
        const double x1 = anywhere(random_);
        const double y1 = anywhere(random_);
        // Upright and level segments, and everything between.
        const double x2 = trial % 10 == 0 ? x1 : anywhere(random_);
        const double y2 = trial % 10 == 1 ? y1 : anywhere(random_);
        const int width = anyWidth(random_);
        platform::PlanSegment(Kernels(), 200, 150, x1, y1, x2, y2, width, fast);
        platform::PlanSegmentRowByRow(200, 150, x1, y1, x2, y2, width, general);
        const auto fastRows = fast.Rows();
        const auto generalRows = general.Rows();
        ASSERT_TRUE(std::equal(fastRows.begin(), fastRows.end(), generalRows.begin(), generalRows.end()))
            << "trial " << trial << ": (" << x1 << ", " << y1 << ") to (" << x2 << ", " << y2 << "), " << width
            << " wide";
        middleRows += static_cast<int>(fast.count);
    }
    EXPECT_GT(middleRows, 10000) << "the segments hardly touched the image";
}

INSTANTIATE_TEST_SUITE_P(EachPath, RowKernelsTest, testing::ValuesIn(Paths()), NameOf);

// The strokes take the widest the processor has: AVX2 where it has it, NEON
// on AArch64, SSE2 elsewhere; the definitions alone where the environment
// says so when the program starts.
TEST(FastestKernelsTest, AreTheWidestThisProcessorRunsOrTheDefinitionsWhenAsked) {
    const char* definitionsOnly = std::getenv(platform::kDefinitionsOnly);
    const RowKernels* expected = platform::Avx2Kernels();
    expected = expected != nullptr ? expected : platform::NeonKernels();
    expected = expected != nullptr ? expected : &platform::Sse2Kernels();
    if (definitionsOnly != nullptr && !std::string(definitionsOnly).empty() && std::string(definitionsOnly) != "0") {
        expected = &platform::OneByOneKernels();
    }
    EXPECT_STREQ(platform::FastestKernels().name, expected->name);
}

}  // namespace
