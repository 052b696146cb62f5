#include "platform/x11/error_box.h"

#include <SDL.h>

#include "platform/x11/captured_stderr.h"

namespace platform::x11 {

void ShowErrorBox(const std::string& program, const std::string& report) {
    // Where there is no display the message box cannot open either, and the
    // report on stderr is the whole of it; what Xlib says about that again
    // is kept off the terminal.
    const CapturedStderr quiet;
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, program.c_str(), report.c_str(), nullptr);
}

}  // namespace platform::x11
