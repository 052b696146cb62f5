#pragma once

#include <clocale>
#include <string>

// The locales the suite checks the title's decimal separator with: Finnish
// (a comma), Pashto (U+066B, two bytes of UTF-8), and a Latin-1 English one
// to mix with Pashto's numbers, as a person's LANG and LC_NUMERIC may. They
// are probed directly, never through the program's output: a missing one
// fails the test that needs it and names it (scripts/install-deps.sh --test
// generates them), so a green run has checked each separator.
namespace testing_support {

inline constexpr const char* kFinnishLocale = "fi_FI.UTF-8";
inline constexpr const char* kPashtoLocale = "ps_AF.UTF-8";
inline constexpr const char* kLatin1Locale = "en_US.ISO-8859-1";

[[nodiscard]] inline std::string Missing(const char* locale) {
    return std::string("required: the ") + locale +
           " locale is not installed (scripts/install-deps.sh --test generates it)";
}

[[nodiscard]] inline bool LocaleInstalled(const char* name) {
    locale_t locale = newlocale(LC_ALL_MASK, name, static_cast<locale_t>(nullptr));
    if (locale == static_cast<locale_t>(nullptr)) {
        return false;
    }
    freelocale(locale);
    return true;
}

}  // namespace testing_support
