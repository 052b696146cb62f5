#include "tests/support/program_under_test.h"

#include <cstdlib>
#include <sstream>

namespace testing_support {

std::string ProgramUnderTest(const std::string& built) {
    const char* named = std::getenv("PENTAGRAM_PROGRAM");
    return named != nullptr && *named != '\0' ? named : built;
}

std::vector<std::string> ProgramCommand(const std::string& path) {
    std::vector<std::string> command;
    if (const char* emulator = std::getenv("PENTAGRAM_EMULATOR")) {
        std::istringstream words(emulator);
        for (std::string word; words >> word;) {
            command.push_back(word);
        }
    }
    command.push_back(path);
    return command;
}

}  // namespace testing_support
