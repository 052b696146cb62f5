#pragma once

namespace platform::x11 {

// Makes the loss of the X display (the server ends, the connection breaks)
// a reported run-time error: the error line on stderr and exit status 1.
void ReportDisplayLoss();

// Reports the loss of the named display and ends the process with the
// status of a run-time error, from wherever the loss was found.
[[noreturn]] void EndForLostDisplay(const char* displayName);

}  // namespace platform::x11
