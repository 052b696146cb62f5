// Windows: the window is a native Win32 one, and a run-time error is shown
// in a message box (there is no terminal to see a line on stderr).

#include <windows.h>

#include <string>

#include "platform/process/program_entry_system.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/win32_window.h"

namespace platform {

std::optional<std::string> RunInWindow(const FormDesign& design, const FormEventsFactory& makeEvents) {
    // No signals: a Windows program is closed through its window.
    return RunIn(design, std::make_unique<win32::Win32Window>(), nullptr, makeEvents);
}

void ShowErrorBox(const std::string& program, const std::string& report) {
    MessageBoxW(nullptr, win32::Wide(report).c_str(), win32::Wide(program).c_str(), MB_OK | MB_ICONERROR);
}

}  // namespace platform
