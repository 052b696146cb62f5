// The decimal separator as the user's POSIX locale gives it.

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <string>

#include "platform/process/regional_settings.h"
#include "tests/support/required_locale.h"

namespace {

TEST(DecimalSeparatorTest, IsAPointInTheCAndEnglishLocales) {
    EXPECT_EQ(platform::DecimalSeparatorOf("C"), '.');
    EXPECT_EQ(platform::DecimalSeparatorOf("POSIX"), '.');
    EXPECT_EQ(platform::DecimalSeparatorOf("C.UTF-8"), '.');
}

TEST(DecimalSeparatorTest, FallsBackToAPointForAnUnknownLocale) {
    EXPECT_EQ(platform::DecimalSeparatorOf("xx_NOWHERE.UTF-8"), '.');
    EXPECT_EQ(platform::DecimalSeparatorOf("not a locale at all"), '.');
}

using testing_support::kFinnishLocale;
using testing_support::kFinnishLocaleMissing;
using testing_support::LocaleInstalled;

TEST(DecimalSeparatorTest, IsACommaInAFinnishLocale) {
    ASSERT_TRUE(LocaleInstalled(kFinnishLocale)) << kFinnishLocaleMissing;
    EXPECT_EQ(platform::DecimalSeparatorOf("fi_FI.UTF-8"), ',');
}

TEST(DecimalSeparatorTest, FollowsTheUsersEnvironment) {
    // The user's setting is read from the environment each time.
    const char* saved = std::getenv("LC_ALL");
    const std::string previous = saved != nullptr ? saved : "";
    setenv("LC_ALL", "C", 1);
    EXPECT_EQ(platform::UserDecimalSeparator(), '.');
    setenv("LC_ALL", "xx_NOWHERE.UTF-8", 1);
    EXPECT_EQ(platform::UserDecimalSeparator(), '.');
    EXPECT_TRUE(LocaleInstalled(kFinnishLocale)) << kFinnishLocaleMissing;
    setenv("LC_ALL", kFinnishLocale, 1);
    EXPECT_EQ(platform::UserDecimalSeparator(), ',');
    if (saved != nullptr) {
        setenv("LC_ALL", previous.c_str(), 1);
    } else {
        unsetenv("LC_ALL");
    }
}

}  // namespace
