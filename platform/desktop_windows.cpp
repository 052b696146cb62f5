// Windows: the window is a native Win32 one, and a run-time error is shown
// in a message box (there is no terminal to see a line on stderr).

#include <windows.h>

#include <iostream>
#include <optional>
#include <string>

#include "platform/desktop.h"
#include "platform/form_runtime.h"
#include "platform/win32/win32_form.h"
#include "platform/win32/win32_text.h"

namespace platform {
namespace {

std::optional<std::string> Run(const FormDesign& design, const FormEventsFactory& makeEvents) {
    try {
        win32::Win32Form form(design);
        const std::unique_ptr<FormEvents> events = makeEvents(form);
        return RunForm(form, *events);
    } catch (const std::exception& error) {
        return error.what();
    }
}

}  // namespace

int RunOnDesktop(const std::string& program, const FormDesign& design, const FormEventsFactory& makeEvents) {
    const std::optional<std::string> error = Run(design, makeEvents);
    if (!error) {
        return 0;
    }
    const std::string line = RunTimeErrorLine(program, *error);
    // Where the program was started from a console, the line goes there too.
    std::cerr << line << std::endl;
    MessageBoxW(nullptr, win32::Wide(line).c_str(), win32::Wide(program).c_str(), MB_OK | MB_ICONERROR);
    return 1;
}

}  // namespace platform
