#include "platform/process/program_entry.h"

#include <cstdio>
#include <optional>
#include <string>

#include "platform/form/form_runtime.h"
#include "platform/process/program_entry_system.h"

namespace platform {

int RunProgram(const std::string& program, const FormDesign& design, const FormEventsFactory& makeEvents) {
    const std::optional<std::string> error = [&]() -> std::optional<std::string> {
        try {
            return RunInWindow(design, makeEvents);
        } catch (const std::exception& failure) {
            return failure.what();
        }
    }();
    if (!error) {
        return 0;
    }
    // The window is gone by now: the report stands on its own, on stderr
    // for a terminal (or a console on Windows) and in a box for the person.
    const std::string line = RunTimeErrorLine(program, *error);
    // C's stdio, not iostreams: the browser's page carries no more than it needs.
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
    ShowErrorBox(program, line);
    return 1;
}

}  // namespace platform
