#pragma once

#include <optional>
#include <string>

namespace platform::x11 {

// Tries the X display named by DISPLAY. Returns nothing when it can be
// opened, and otherwise the reason, in the words of the server where it gave
// some (a refused authorisation, say).
[[nodiscard]] std::optional<std::string> WhyXDisplayCannotBeOpened();

}  // namespace platform::x11
