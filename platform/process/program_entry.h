#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/form.h"

namespace platform {

using FormEventsFactory = std::function<std::unique_ptr<FormEvents>(Form&)>;

// The process entry of a program: creates its form as a real window, raises
// Load and runs it to the end. A run-time error is reported on stderr, and in
// a message box where a display is available. Returns the process's exit
// status: 0 when the program ended, 1 after an error.
[[nodiscard]] int RunProgram(const std::string& program, const FormDesign& design, const FormEventsFactory& makeEvents);

}  // namespace platform
