// Windows: the user's decimal separator comes from the regional settings.

#include <windows.h>

#include <string>

#include "platform/process/regional_settings.h"
#include "platform/win32/win32_text.h"

namespace platform {

// A locale name as Windows takes it ("fi-FI"); "" is the user's own.
char DecimalSeparatorOf(const char* locale_name) {
    const std::wstring name = std::string(locale_name).empty() ? std::wstring() : win32::Wide(locale_name);
    wchar_t separator[8] = {};
    const int length = GetLocaleInfoEx(name.empty() ? LOCALE_NAME_USER_DEFAULT : name.c_str(), LOCALE_SDECIMAL,
                                       separator, static_cast<int>(std::size(separator)));
    // One character that stands in for the '.', or the '.' itself.
    return (length == 2 && separator[0] > 0 && separator[0] < 0x80) ? static_cast<char>(separator[0]) : '.';
}

char UserDecimalSeparator() { return DecimalSeparatorOf(""); }

}  // namespace platform
