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
using testing_support::kLatin1Locale;
using testing_support::kPashtoLocale;
using testing_support::LocaleInstalled;
using testing_support::Missing;

TEST(DecimalSeparatorTest, IsTheLocalesOwnInUtf8WhateverItsLength) {
    ASSERT_TRUE(LocaleInstalled(kFinnishLocale)) << Missing(kFinnishLocale);
    ASSERT_TRUE(LocaleInstalled(kPashtoLocale)) << Missing(kPashtoLocale);
    EXPECT_EQ(platform::DecimalSeparatorOf(kFinnishLocale), ",");
    EXPECT_EQ(platform::DecimalSeparatorOf(kPashtoLocale), "\u066B");
}

// What a locale or a user may set, and what of it the title can show.
TEST(DecimalSeparatorTest, OnlyAFewPrintableCharactersStandInForThePoint) {
    const std::vector<std::pair<std::string, std::string>> cases{
        // A few printable characters of any script stand in.
        {",", ","},
        {"\u066B", "\u066B"},
        {"<->", "<->"},
        {"\U0001F600", "\U0001F600"},
        {"\u060C", "\u060C"},  // the Arabic comma
        // Too few or too many, control characters, digits.
        {"", "."},
        {"<-->", "."},
        {"\n", "."},
        {"\x7F", "."},
        {"\u0085", "."},
        {"1", "."},
        // Not UTF-8: a stray byte, a truncated U+066B, an overlong '.', a surrogate.
        {"\xFF", "."},
        {"\xD9", "."},
        {"\xC0\xAE", "."},
        {"\xED\xA0\x80", "."},
        // Bidi marks and other format characters, and line and paragraph
        // separators, hide the number; the digits of other scripts change it.
        {"\u200E", "."},
        {"\u200F", "."},
        {"\u061C", "."},
        {",\u200B", "."},
        {"\u2028", "."},
        {"\u2029", "."},
        {"\u0660", "."},
        {"\u0669", "."},
        {"\u06F0", "."},
        {"\u06F9", "."},
        {"\u0966", "."},
        {"\U0001D7CE", "."},
    };
    for (const auto& [given, shown] : cases) {
        EXPECT_EQ(platform::ShowableSeparator(given), shown) << "given " << testing::PrintToString(given);
    }
}

// The numbers' locale alone decides, read in its own character set: it may
// be another than the characters', and that one may not be installed.
TEST(DecimalSeparatorTest, IsTheNumericLocalesReadInItsOwnCharacterSet) {
    ASSERT_TRUE(LocaleInstalled(kPashtoLocale)) << Missing(kPashtoLocale);
    ASSERT_TRUE(LocaleInstalled(kLatin1Locale)) << Missing(kLatin1Locale);
    ASSERT_TRUE(LocaleInstalled(kFinnishLocale)) << Missing(kFinnishLocale);
    struct Case {
        const char* other;  // LANG or LC_CTYPE
        const char* otherValue;
        const char* numeric;
        const char* separator;
    };
    const std::vector<Case> cases{
        {"LC_CTYPE", kLatin1Locale, kPashtoLocale, "\u066B"},
        {"LANG", "xx_NOWHERE.UTF-8", kFinnishLocale, ","},
    };
    const char* all = std::getenv("LC_ALL");
    const std::string savedAll = all != nullptr ? all : "";
    unsetenv("LC_ALL");
    for (const Case& tried : cases) {
        setenv(tried.other, tried.otherValue, 1);
        setenv("LC_NUMERIC", tried.numeric, 1);
        EXPECT_EQ(platform::UserDecimalSeparator(), tried.separator)
            << tried.other << "=" << tried.otherValue << " LC_NUMERIC=" << tried.numeric;
        unsetenv(tried.other);
        unsetenv("LC_NUMERIC");
    }
    if (all != nullptr) {
        setenv("LC_ALL", savedAll.c_str(), 1);
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
    EXPECT_TRUE(LocaleInstalled(kFinnishLocale)) << Missing(kFinnishLocale);
    setenv("LC_ALL", kFinnishLocale, 1);
    EXPECT_EQ(platform::UserDecimalSeparator(), ",");
    if (saved != nullptr) {
        setenv("LC_ALL", previous.c_str(), 1);
    } else {
        unsetenv("LC_ALL");
    }
}

}  // namespace
