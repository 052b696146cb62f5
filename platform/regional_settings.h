#pragma once

namespace platform {

// The decimal separator of the user's numeric locale (LC_ALL, LC_NUMERIC,
// LANG), read without changing the process locale; "." when the locale is
// unknown or unset.
[[nodiscard]] char UserDecimalSeparator();

// The same for a named locale, "" meaning the user's.
[[nodiscard]] char DecimalSeparatorOf(const char* locale_name);

}  // namespace platform
