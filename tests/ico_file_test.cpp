// The Windows icon file: a header, a directory entry per picture that points
// at its PNG, and the PNGs as they were.

#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <string>

#include "tools/ico_file.h"

namespace {

std::uint32_t At(const std::string& bytes, std::size_t offset, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(bytes.at(offset + static_cast<std::size_t>(i)));
    }
    return value;
}

TEST(IcoFileTest, EachPictureIsListedAndFoundWhereItsEntrySays) {
    const std::vector<tools::IconPicture> pictures = {{16, "sixteen"}, {256, "two hundred and fifty-six"}};
    const std::string ico = tools::IcoFile(pictures);
    EXPECT_EQ(At(ico, 0, 2), 0U);
    EXPECT_EQ(At(ico, 2, 2), 1U) << "an icon, not a cursor";
    ASSERT_EQ(At(ico, 4, 2), 2U);
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        const std::size_t entry = 6 + 16 * i;
        const auto side = static_cast<std::uint32_t>(pictures[i].side % 256);
        EXPECT_EQ(At(ico, entry, 1), side) << "width";
        EXPECT_EQ(At(ico, entry + 1, 1), side) << "height";
        EXPECT_EQ(At(ico, entry + 6, 2), 32U) << "bits a pixel";
        const std::uint32_t size = At(ico, entry + 8, 4);
        const std::uint32_t offset = At(ico, entry + 12, 4);
        EXPECT_EQ(ico.substr(offset, size), pictures[i].png);
    }
    EXPECT_EQ(ico.size(), 6 + 2 * 16 + pictures[0].png.size() + pictures[1].png.size());
}

TEST(IcoFileTest, ASideWindowsCannotHoldIsRefused) {
    EXPECT_THROW((void)tools::IcoFile({{0, "nothing"}}), std::invalid_argument);
    EXPECT_THROW((void)tools::IcoFile({{257, "too large"}}), std::invalid_argument);
}

}  // namespace
