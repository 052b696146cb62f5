#pragma once

namespace platform {

// The decimal separator of the user's regional settings, read without
// changing the process locale: on POSIX systems the numeric locale
// (LC_ALL, LC_NUMERIC, LANG), on Windows the user's locale. "." when the
// locale is unknown or unset, or its separator is more than one character.
[[nodiscard]] char UserDecimalSeparator();

// The same for a locale named as the system names them ("fi_FI.UTF-8" on
// POSIX, "fi-FI" on Windows), "" meaning the user's.
[[nodiscard]] char DecimalSeparatorOf(const char* locale_name);

}  // namespace platform
