#pragma once

// The program the desktop tests start: the build's own, or the one the
// environment names (PENTAGRAM_PROGRAM), run under the emulator it names
// (PENTAGRAM_EMULATOR, words apart), as make test-arm64 runs the arm64
// build's program under qemu-user on the same desktops.

#include <string>
#include <vector>

namespace testing_support {

// The program's path: PENTAGRAM_PROGRAM's where it is set, else `built`.
[[nodiscard]] std::string ProgramUnderTest(const std::string& built);

// The command that runs the program at this path, under the emulator where
// one is named.
[[nodiscard]] std::vector<std::string> ProgramCommand(const std::string& path);

}  // namespace testing_support
