#pragma once

#include <clocale>

// The locales the suite checks the title's decimal separator with. They are
// probed directly, never through the program's output: a missing one fails
// the test that needs it and names it (scripts/install-deps.sh --test
// generates it), so a green run has checked the comma.
namespace testing_support {

inline constexpr const char* kFinnishLocale = "fi_FI.UTF-8";
inline constexpr const char* kFinnishLocaleMissing =
    "required: the fi_FI.UTF-8 locale is not installed (scripts/install-deps.sh --test generates it)";

[[nodiscard]] inline bool LocaleInstalled(const char* name) {
    locale_t locale = newlocale(LC_ALL_MASK, name, static_cast<locale_t>(nullptr));
    if (locale == static_cast<locale_t>(nullptr)) {
        return false;
    }
    freelocale(locale);
    return true;
}

}  // namespace testing_support
