#include "platform/x11/display_loss.h"

#include <X11/Xlib.h>
#include <string>

#include "platform/process/abrupt_end.h"

namespace platform::x11 {
namespace {

// Xlib calls this from deep inside whatever call found the connection gone,
// and ends the process if it returns.
int OnDisplayLost(Display* display) { EndForLostDisplay(DisplayString(display)); }

}  // namespace

void ReportDisplayLoss() { XSetIOErrorHandler(OnDisplayLost); }

// Unwinding would run the window's destructors against a dead display,
// which call Xlib again.
void EndForLostDisplay(const char* displayName) {
    EndNowWithRunTimeError("lost the connection to the X display '" + std::string(displayName) + "'");
}

}  // namespace platform::x11
