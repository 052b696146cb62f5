#include "platform/form/form_runtime.h"

#include <cstdint>
#include <exception>

namespace platform {

void EndProgram() { throw EndOfProgram{}; }

void RaiseUnload(FormEvents& events) {
    std::int16_t Cancel = 0;
    events.Unload(Cancel);
    if (Cancel == 0) {
        EndProgram();
    }
}

std::optional<std::string> RunForm(RuntimeForm& form, FormEvents& events) {
    try {
        form.Attach(events);
        events.Load();
        // A Load handler that returns leaves the window up, running on events.
        for (;;) {
            form.WaitEvents();
        }
    } catch (const EndOfProgram&) {
        return std::nullopt;
    } catch (const std::exception& error) {
        return error.what();
    }
}

std::string RunTimeErrorLine(const std::string& program, const std::string& error) {
    return program + ": run-time error: " + error;
}

}  // namespace platform
