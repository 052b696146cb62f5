#include "platform/wayland/wayland_launch.h"

#include <cstdio>
#include <cstdlib>

#include "platform/process/utf8_text.h"

namespace platform::wayland {
namespace {

// libwayland's largest message, and the request's own words around the
// token: its header, the string's length, and the surface.
constexpr std::size_t kLongestMessage = 4096;
constexpr std::size_t kRequestWords = 8 + 4 + 4;

// A string goes with its NUL, padded to a whole 32-bit word.
constexpr std::size_t Padded(std::size_t length) { return (length + 1 + 3) / 4 * 4; }

}  // namespace

bool SendableToken(std::string_view token) {
    return kRequestWords + Padded(token.size()) <= kLongestMessage && IsUtf8(token);
}

std::string TakeActivationToken() {
    const char* given = std::getenv("XDG_ACTIVATION_TOKEN");
    std::string token = given != nullptr ? given : "";
    unsetenv("XDG_ACTIVATION_TOKEN");
    if (!token.empty() && !SendableToken(token)) {
        std::fprintf(stderr, "%s: the launch's activation token was not used: %s\n", program_invocation_short_name,
                     IsUtf8(token) ? "it is too long for a Wayland message" : "it is not UTF-8");
        return {};
    }
    return token;
}

}  // namespace platform::wayland
