#pragma once

#include <stdexcept>
#include <string>

namespace platform {

// A failed window operation: what was attempted and the reason the window
// system gave. The runtime reports it and ends the program.
class RunTimeError : public std::runtime_error {
public:
    RunTimeError(const std::string& what_failed, const std::string& why)
        : std::runtime_error(what_failed + ": " + why) {}
};

}  // namespace platform
