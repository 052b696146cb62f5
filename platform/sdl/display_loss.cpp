#include "platform/sdl/display_loss.h"

#include <X11/Xlib.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/form_runtime.h"

namespace platform::sdl {
namespace {

// Xlib calls this from deep inside whatever call found the connection gone,
// and ends the process if it returns.
int OnDisplayLost(Display* display) { EndForLostDisplay(DisplayString(display)); }

}  // namespace

void ReportDisplayLoss() { XSetIOErrorHandler(OnDisplayLost); }

// Unwinding would run the window's destructors against a dead display,
// which call Xlib again; so the report is written here, as the runtime would
// write it. The window went with the display.
void EndForLostDisplay(const char* displayName) {
    const std::string line = RunTimeErrorLine(program_invocation_short_name, "lost the connection to the X display '" +
                                                                                 std::string(displayName) + "'") +
                             "\n";
    [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, line.data(), line.size());
    _exit(1);
}

}  // namespace platform::sdl
