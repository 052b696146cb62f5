// How the Wayland window tells of a connection that ended, held against a
// compositor of the test's own: the other end of a socket, which writes what
// a compositor writes on the wire.

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/wayland/wayland_display.h"
#include "platform/wayland/wayland_handles.h"

namespace {

using platform::wayland::DisplayHandle;

// wl_display.error(object, code, message) as a compositor sends it: on the
// display, object 1, opcode 0; a string is its length with the NUL, then
// its bytes padded to four.
std::vector<std::uint32_t> ErrorEvent(std::uint32_t object, std::uint32_t code, const std::string& message) {
    const auto length = static_cast<std::uint32_t>(message.size() + 1);
    std::vector<std::uint32_t> words{1, 0, object, code, length};
    std::vector<std::uint32_t> text((length + 3) / 4, 0);
    std::memcpy(text.data(), message.data(), message.size());
    words.insert(words.end(), text.begin(), text.end());
    words[1] = static_cast<std::uint32_t>(words.size() * 4) << 16;
    return words;
}

std::string FailureOf(const std::vector<std::uint32_t>& sent) {
    int ends[2];
    EXPECT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends), 0);
    const DisplayHandle display(wl_display_connect_to_fd(ends[0]));
    EXPECT_NE(display, nullptr);
    if (!sent.empty()) {
        EXPECT_EQ(write(ends[1], sent.data(), sent.size() * 4), static_cast<ssize_t>(sent.size() * 4));
    }
    close(ends[1]);
    try {
        platform::wayland::ThrowConnectionFailure(display.get(), "wayland-test", EPIPE);
    } catch (const std::exception& error) {
        return error.what();
    }
    return "nothing thrown";
}

TEST(WaylandConnectionTest, ABrokenPipeIsToldInTheCompositorsWordsWhereItSentSome) {
    EXPECT_EQ(FailureOf(ErrorEvent(1, 3, "not a protocol this compositor speaks")),
              "the Wayland compositor 'wayland-test' ended the connection: protocol error 3 on wl_display 1");
    EXPECT_EQ(FailureOf({}), "lost the connection to the Wayland compositor 'wayland-test': Broken pipe");
}

}  // namespace
