// The decimal separator as Windows' regional settings give it.

#include <gtest/gtest.h>

#include "platform/process/regional_settings.h"

namespace {

TEST(DecimalSeparatorTest, IsAPointInEnglishAndTheLocalesOwnElsewhere) {
    EXPECT_EQ(platform::DecimalSeparatorOf("en-US"), ".");
    EXPECT_EQ(platform::DecimalSeparatorOf("en-GB"), ".");
    EXPECT_EQ(platform::DecimalSeparatorOf("fi-FI"), ",");
    EXPECT_EQ(platform::DecimalSeparatorOf("de-DE"), ",");
}

TEST(DecimalSeparatorTest, FallsBackToAPointForAnUnknownLocale) {
    EXPECT_EQ(platform::DecimalSeparatorOf("xx-NOWHERE"), ".");
    EXPECT_EQ(platform::DecimalSeparatorOf("not a locale at all"), ".");
}

}  // namespace
