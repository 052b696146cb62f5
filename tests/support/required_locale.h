#pragma once

#include <clocale>
#include <string>

// The locales the suite checks the title's decimal separator with. They are
// probed directly, never through the program's output: a missing one fails
// the test that needs it and names it (scripts/install-deps.sh --test
// generates it), so a green run has checked the comma.
namespace testing_support {

inline constexpr const char* kFinnishLocale = "fi_FI.UTF-8";
// Pashto's decimal separator is U+066B, two bytes of UTF-8.
inline constexpr const char* kPashtoLocale = "ps_AF.UTF-8";

[[nodiscard]] inline std::string Missing(const char* locale) {
    return std::string("required: the ") + locale +
           " locale is not installed (scripts/install-deps.sh --test generates it)";
}
inline const std::string kFinnishLocaleMissing = Missing(kFinnishLocale);

[[nodiscard]] inline bool LocaleInstalled(const char* name) {
    locale_t locale = newlocale(LC_ALL_MASK, name, static_cast<locale_t>(nullptr));
    if (locale == static_cast<locale_t>(nullptr)) {
        return false;
    }
    freelocale(locale);
    return true;
}

}  // namespace testing_support
