// An image's memory in the system's pages, whatever their size: 4 KB on
// x86-64 and a Raspberry Pi, 16 KB and 64 KB on ARM laptops, whose huge
// pages are 2 MB, 32 MB and 512 MB.

#include "platform/image/page_layout.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using platform::LayOutPages;
using platform::PageLayout;
using platform::SystemPages;

constexpr std::size_t kKilobyte = 1024;
constexpr std::size_t kMegabyte = 1024 * kKilobyte;

TEST(PageLayoutTest, AlignsToAHugePageOnlyWhereTheImageFillsOneAndTakesWholePages) {
    struct Case {
        const char* what;
        std::size_t bytes;
        SystemPages pages;
        PageLayout layout;
    };
    // A maximised 1920 x 1080 image is 8100 KB.
    const std::size_t maximised = std::size_t{1920} * 1080 * 4;
    const std::vector<Case> cases{
        {"4 KB pages", maximised, {4 * kKilobyte, 2 * kMegabyte}, {2 * kMegabyte, maximised, true}},
        {"a small image in 4 KB pages",
         100 * kKilobyte + 1,
         {4 * kKilobyte, 2 * kMegabyte},
         {4 * kKilobyte, 104 * kKilobyte, false}},
        {"16 KB pages",
         maximised,
         {16 * kKilobyte, 32 * kMegabyte},
         {16 * kKilobyte, std::size_t{507} * 16 * kKilobyte, false}},
        {"a 5K image in 16 KB pages",
         std::size_t{5120} * 2880 * 4,
         {16 * kKilobyte, 32 * kMegabyte},
         {32 * kMegabyte, std::size_t{5120} * 2880 * 4, true}},
        {"64 KB pages",
         maximised + 1,
         {64 * kKilobyte, 512 * kMegabyte},
         {64 * kKilobyte, maximised + 64 * kKilobyte - (maximised % (64 * kKilobyte)), false}},
        {"no huge pages", maximised, {4 * kKilobyte, 0}, {4 * kKilobyte, maximised, false}},
    };
    for (const Case& tried : cases) {
        const PageLayout layout = LayOutPages(tried.bytes, tried.pages);
        EXPECT_EQ(layout, tried.layout) << tried.what << ": aligned to " << layout.alignment << ", " << layout.bytes
                                        << " bytes";
    }
}

// This system's pages, as it tells them: whole, the huge a whole number of
// the small.
TEST(PageLayoutTest, TheSystemsPagesAreItsOwn) {
    const SystemPages pages = platform::TheSystemsPages();
    EXPECT_GE(pages.page, 4 * kKilobyte);
    EXPECT_EQ(pages.page & (pages.page - 1), 0U) << pages.page << " is no power of two";
    if (pages.huge != 0) {
        EXPECT_EQ(pages.huge % pages.page, 0U);
    }
}

}  // namespace
