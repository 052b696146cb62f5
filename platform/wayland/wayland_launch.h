#pragma once

#include <string>
#include <string_view>

namespace platform::wayland {

// Whether the compositor can be sent this activation token: a protocol
// string is UTF-8, and xdg_activation_v1.activate, which carries it, must
// fit in one of libwayland's messages (4096 bytes).
[[nodiscard]] bool SendableToken(std::string_view token);

// The launch's activation token (XDG_ACTIVATION_TOKEN), taken out of the
// environment, as it is spent once used. A token that cannot be sent is a
// launcher's courtesy not taken, no error: nothing is returned, and one
// line on stderr says it was not used.
[[nodiscard]] std::string TakeActivationToken();

}  // namespace platform::wayland
