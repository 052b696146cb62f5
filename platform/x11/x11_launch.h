#pragma once

#include <xcb/xcb.h>

#include <array>
#include <string>

#include "platform/x11/x11_connection.h"

namespace platform::x11 {

// The launch the program comes from, as a desktop's launcher tells it
// (startup notification's DESKTOP_STARTUP_ID): the window carries its ID
// before it is mapped, which gives it the focus the launch gave, and the
// launcher is told the launch has ended once the window is mapped, so that
// its feedback stops. The ID is taken out of the program's environment.
class X11Launch {
public:
    X11Launch(const X11Connection& connection, xcb_window_t window);

    // Once the window is mapped; at most once.
    void End();

private:
    enum Atom : std::uint8_t { kNetStartupId, kUtf8String, kInfoBegin, kInfo, kAtoms };

    const X11Connection& connection_;
    xcb_window_t window_;
    std::string id_;  // until the end is told
    std::array<xcb_atom_t, kAtoms> atoms_{};
};

}  // namespace platform::x11
