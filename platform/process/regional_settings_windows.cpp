// Windows: the user's decimal separator comes from the regional settings,
// where a user may set up to three characters of their own.

#include <windows.h>

#include <string>

#include "platform/process/regional_settings.h"
#include "platform/win32/win32_text.h"

namespace platform {

// A locale name as Windows takes it ("fi-FI"); "" is the user's own.
std::string DecimalSeparatorOf(const char* locale_name) {
    const std::wstring name = std::string(locale_name).empty() ? std::wstring() : win32::Wide(locale_name);
    wchar_t separator[8] = {};
    const int length = GetLocaleInfoEx(name.empty() ? LOCALE_NAME_USER_DEFAULT : name.c_str(), LOCALE_SDECIMAL,
                                       separator, static_cast<int>(std::size(separator)));
    if (length <= 1) {
        return ".";
    }
    return ShowableSeparator(win32::Narrow(std::wstring_view(separator, static_cast<std::size_t>(length - 1))));
}

}  // namespace platform
