#pragma once

#include <string>

namespace platform::x11 {

// Shows a run-time error's report in a message box, where a display can
// show one, and waits for the person to close it.
void ShowErrorBox(const std::string& program, const std::string& report);

}  // namespace platform::x11
