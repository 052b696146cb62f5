#include "platform/desktop.h"

#include <SDL.h>

#include <iostream>
#include <optional>

#include "platform/form_runtime.h"
#include "platform/run_time_error.h"
#include "platform/sdl/captured_stderr.h"
#include "platform/sdl/sdl_form.h"
#include "platform/termination_signals.h"

namespace platform {
namespace {

std::optional<std::string> Run(const FormDesign& design, const FormEventsFactory& makeEvents) {
    try {
        TerminationSignals signals;
        sdl::SdlForm form(design, signals);
        const std::unique_ptr<FormEvents> events = makeEvents(form);
        return RunForm(form, *events);
    } catch (const std::exception& error) {
        return error.what();
    }
}

}  // namespace

int RunOnDesktop(const std::string& program, const FormDesign& design, const FormEventsFactory& makeEvents) {
    // The window is gone by now: the report stands on its own.
    const std::optional<std::string> error = Run(design, makeEvents);
    if (!error) {
        return 0;
    }
    const std::string line = RunTimeErrorLine(program, *error);
    std::cerr << line << std::endl;
    // Where there is no display the message box cannot open either, and the
    // line above is the whole report; what Xlib says about that again is
    // kept off the terminal.
    const sdl::CapturedStderr quiet;
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, program.c_str(), line.c_str(), nullptr);
    return 1;
}

}  // namespace platform
