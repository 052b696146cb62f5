// Linux: the program's name comes from glibc's program_invocation_short_name.

#include "platform/process/abrupt_end.h"

#include <unistd.h>

#include <cerrno>

#include "platform/form/form_runtime.h"

namespace platform {

void EndNowWithRunTimeError(const std::string& error) {
    const std::string line = RunTimeErrorLine(program_invocation_short_name, error) + "\n";
    [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, line.data(), line.size());
    _exit(1);
}

}  // namespace platform
