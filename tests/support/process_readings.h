#pragma once

#include <sys/types.h>

#include <string>

// What the kernel says of a running process, for the tests and benchmarks
// that watch the program's CPU and memory.
namespace testing_support {

// The CPU time the process has used, user and system, in clock ticks.
[[nodiscard]] long CpuTicks(pid_t pid);

// Its resident memory now, in kB; -1 when it cannot be read.
[[nodiscard]] long ResidentKilobytes(pid_t pid);

// It has memory mapped from a file of this name (a memfd's shows as
// "/memfd:NAME (deleted)").
[[nodiscard]] bool MapsFileNamed(pid_t pid, const std::string& name);

}  // namespace testing_support
