#pragma once

#include <string>

namespace platform {

// The decimal separator of the user's regional settings, as UTF-8 text of
// one or more characters ("," in Finnish, U+066B in Pashto), read without
// changing the process locale: on POSIX systems the numeric locale
// (LC_ALL, LC_NUMERIC, LANG), on Windows the user's locale. "." when the
// locale is unknown or unset, or gives no separator that can be shown.
[[nodiscard]] std::string UserDecimalSeparator();

// The same for a locale named as the system names them ("fi_FI.UTF-8" on
// POSIX, "fi-FI" on Windows), "" meaning the user's.
[[nodiscard]] std::string DecimalSeparatorOf(const char* locale_name);

// A separator as the locale gave it, in UTF-8, kept if it can stand in for
// the '.': a few printable characters, no digit among them. "." otherwise.
[[nodiscard]] std::string ShowableSeparator(const std::string& separator);

}  // namespace platform
