// The browser: the decimal separator of the browser's language, as its own
// number formatting writes it (regional_settings_web.js).

#include <array>
#include <string>

#include "platform/process/regional_settings.h"

extern "C" void pentagram_decimal_separator(const char* language, char* out, int size);

namespace platform {

std::string DecimalSeparatorOf(const char* locale_name) {
    std::array<char, 32> separator{};
    pentagram_decimal_separator(locale_name, separator.data(), static_cast<int>(separator.size()));
    return ShowableSeparator(separator.data());
}

}  // namespace platform
