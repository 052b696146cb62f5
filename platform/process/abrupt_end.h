#pragma once

#include <string>

namespace platform {

// Reports a run-time error and ends the process with its status at once,
// for a failure found where nothing may unwind: inside a C library's
// callback, or with the window system already gone. The report is the one
// line the runtime writes; the window went with the process.
[[noreturn]] void EndNowWithRunTimeError(const std::string& error);

}  // namespace platform
