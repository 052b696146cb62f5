#pragma once

// Text as Windows takes it, and Windows' own words for what failed.

#include <windows.h>

#include <string>
#include <string_view>

namespace platform::win32 {

// UTF-8, as the program keeps its text, and UTF-16, as Windows takes it.
[[nodiscard]] std::wstring Wide(std::string_view text);
[[nodiscard]] std::string Narrow(std::wstring_view text);

// Windows' own words for an error code, as FormatMessage gives them.
[[nodiscard]] std::string SystemReason(DWORD error);

// A run-time error for a Win32 call that failed: what was attempted, and
// the reason GetLastError gives.
[[noreturn]] void ThrowLastError(const std::string& whatFailed);

}  // namespace platform::win32
