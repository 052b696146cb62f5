// The decimal separator as the user's POSIX locale gives it.

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <string>

#include "platform/regional_settings.h"

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

TEST(DecimalSeparatorTest, IsACommaInAFinnishLocale) {
    locale_t finnish = newlocale(LC_NUMERIC_MASK, "fi_FI.UTF-8", static_cast<locale_t>(nullptr));
    if (finnish == static_cast<locale_t>(nullptr)) {
        GTEST_SKIP() << "the fi_FI.UTF-8 locale is not installed (locale-gen makes it)";
    }
    freelocale(finnish);
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
    locale_t finnish = newlocale(LC_NUMERIC_MASK, "fi_FI.UTF-8", static_cast<locale_t>(nullptr));
    if (finnish != static_cast<locale_t>(nullptr)) {
        freelocale(finnish);
        setenv("LC_ALL", "fi_FI.UTF-8", 1);
        EXPECT_EQ(platform::UserDecimalSeparator(), ',');
    }
    if (saved != nullptr) {
        setenv("LC_ALL", previous.c_str(), 1);
    } else {
        unsetenv("LC_ALL");
    }
}

}  // namespace
