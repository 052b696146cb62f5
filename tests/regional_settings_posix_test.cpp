// The decimal separator as the user's POSIX locale gives it.

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "platform/process/regional_settings.h"
#include "tests/support/required_locale.h"

namespace {

TEST(DecimalSeparatorTest, IsAPointInTheCAndEnglishLocales) {
    EXPECT_EQ(platform::DecimalSeparatorOf("C"), ".");
    EXPECT_EQ(platform::DecimalSeparatorOf("POSIX"), ".");
    EXPECT_EQ(platform::DecimalSeparatorOf("C.UTF-8"), ".");
}

TEST(DecimalSeparatorTest, FallsBackToAPointForAnUnknownLocale) {
    EXPECT_EQ(platform::DecimalSeparatorOf("xx_NOWHERE.UTF-8"), ".");
    EXPECT_EQ(platform::DecimalSeparatorOf("not a locale at all"), ".");
}

using testing_support::kFinnishLocale;
using testing_support::kFinnishLocaleMissing;
using testing_support::LocaleInstalled;

using testing_support::kPashtoLocale;

TEST(DecimalSeparatorTest, IsTheLocalesOwnInUtf8WhateverItsLength) {
    ASSERT_TRUE(LocaleInstalled(kFinnishLocale)) << kFinnishLocaleMissing;
    ASSERT_TRUE(LocaleInstalled(kPashtoLocale)) << testing_support::Missing(kPashtoLocale);
    EXPECT_EQ(platform::DecimalSeparatorOf(kFinnishLocale), ",");
    EXPECT_EQ(platform::DecimalSeparatorOf(kPashtoLocale), "\u066B");
}

// What a locale or a user may set, and what of it the title can show.
TEST(DecimalSeparatorTest, OnlyAFewPrintableCharactersStandInForThePoint) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {",", ","},        {"\u066B", "\u066B"},
        {"<->", "<->"},    {"\U0001F600", "\U0001F600"},
        {"", "."},         {"<-->", "."},
        {"\n", "."},       {"\x7F", "."},
        {"\u0085", "."},   {"1", "."},
        {"\xFF", "."},     {"\xD9", "."},          // truncated U+066B
        {"\xC0\xAE", "."}, {"\xED\xA0\x80", "."},  // overlong '.', a surrogate
    };
    for (const auto& [given, shown] : cases) {
        EXPECT_EQ(platform::ShowableSeparator(given), shown) << "given " << testing::PrintToString(given);
    }
}

TEST(DecimalSeparatorTest, FollowsTheUsersEnvironment) {
    // The user's setting is read from the environment each time.
    const char* saved = std::getenv("LC_ALL");
    const std::string previous = saved != nullptr ? saved : "";
    setenv("LC_ALL", "C", 1);
    EXPECT_EQ(platform::UserDecimalSeparator(), ".");
    setenv("LC_ALL", "xx_NOWHERE.UTF-8", 1);
    EXPECT_EQ(platform::UserDecimalSeparator(), ".");
    EXPECT_TRUE(LocaleInstalled(kFinnishLocale)) << kFinnishLocaleMissing;
    setenv("LC_ALL", kFinnishLocale, 1);
    EXPECT_EQ(platform::UserDecimalSeparator(), ",");
    if (saved != nullptr) {
        setenv("LC_ALL", previous.c_str(), 1);
    } else {
        unsetenv("LC_ALL");
    }
}

}  // namespace
