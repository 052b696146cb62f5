#pragma once

namespace platform::sdl {

// Makes the loss of the X display (the server ends, the connection breaks)
// a reported run-time error: the error line on stderr and exit status 1.
void ReportDisplayLoss();

}  // namespace platform::sdl
