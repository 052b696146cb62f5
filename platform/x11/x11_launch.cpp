#include "platform/x11/x11_launch.h"

#include <array>
#include <cstdlib>
#include <utility>

namespace platform::x11 {
namespace {

// A value with a space, a quote or a backslash in it goes in quotes.
std::string Quoted(const std::string& value) {
    if (value.find_first_of(" \"\\") == std::string::npos) {
        return value;
    }
    std::string quoted = "\"";
    for (const char c : value) {
        quoted += (c == '"' || c == '\\') ? std::string{'\\', c} : std::string{c};
    }
    return quoted + '"';
}

}  // namespace

X11Launch::X11Launch(const X11Connection& connection, xcb_window_t window) : connection_(connection), window_(window) {
    if (const char* id = std::getenv("DESKTOP_STARTUP_ID"); id != nullptr && *id != '\0') {
        id_ = id;
        atoms_ = connection_.Atoms<kAtoms>("_NET_STARTUP_ID UTF8_STRING _NET_STARTUP_INFO_BEGIN _NET_STARTUP_INFO");
        connection_.SetProperty(window_, atoms_[kNetStartupId], atoms_[kUtf8String], 8, id_.size(), id_.data());
    }
    unsetenv("DESKTOP_STARTUP_ID");
}

// The message goes to the root in pieces of 20 bytes, the first of one
// type and the rest of another, the last holding the text's end (a NUL).
void X11Launch::End() {
    if (id_.empty()) {
        return;
    }
    const std::string message = "remove: ID=" + Quoted(std::exchange(id_, {})) + '\0';
    for (std::size_t at = 0; at < message.size(); at += 20) {
        std::array<char, 20> piece{};
        message.copy(piece.data(), piece.size(), at);
        connection_.Broadcast(window_, atoms_[at == 0 ? kInfoBegin : kInfo], piece);
    }
}

}  // namespace platform::x11
