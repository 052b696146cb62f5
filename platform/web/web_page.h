#pragma once

#include <string>

namespace platform::web {

// Says in the page that the program has ended, in place of its canvas: a
// page cannot close its own tab.
void ShowEnded();

// Shows a run-time error's report in a box in the page.
void ShowError(const std::string& program, const std::string& report);

}  // namespace platform::web
