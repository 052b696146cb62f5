#pragma once

#include <ostream>
#include <string>
#include <vector>

// The window managers people's X desktops run, each as its Debian package
// starts it, with what the tests may expect of it.
namespace desktop {

struct WindowManager {
    std::string name;
    std::vector<std::string> command;
    // It has a maximised state (EWMH), so the program comes up in it and a
    // restore gives the normal size.
    bool maximises = true;
    // It tiles: the window fills its tile and has no minimised state.
    bool tiles = false;
    // It understands EWMH requests such as _NET_ACTIVE_WINDOW.
    bool ewmh = true;
    // It maps a window at the size of the state the window carries (EWMH's
    // _NET_WM_STATE, set before the map): fluxbox takes no state from it,
    // and kwin maps it at its normal size inside a frame of 1 x 1 that it
    // sizes after, so that no one sees that size.
    bool mapsInTheState = true;
};

// Test names and messages show a window manager by its name.
inline void PrintTo(const WindowManager& windowManager, std::ostream* out) { *out << windowManager.name; }

// openbox, xfwm4 (Xfce), fluxbox, icewm, metacity, i3, twm, kwin_x11 (KDE)
// and mutter (GNOME).
[[nodiscard]] const std::vector<WindowManager>& WindowManagers();
[[nodiscard]] const WindowManager& Openbox();

}  // namespace desktop
