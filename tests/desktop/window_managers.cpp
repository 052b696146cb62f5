#include "tests/desktop/window_managers.h"

namespace desktop {

const std::vector<WindowManager>& WindowManagers() {
    // i3 reads its configuration from the desktop's home (virtual_desktop.cpp).
    static const std::vector<WindowManager> managers{
        {"openbox", {"openbox"}},
        {"xfwm4", {"xfwm4"}},
        {"fluxbox", {"fluxbox"}, true, false, true, false},
        {"icewm", {"icewm"}},
        {"metacity", {"metacity"}},
        {"i3", {"i3"}, false, true},
        {"twm", {"twm"}, false, false, false},
        {"kwin_x11", {"kwin_x11"}, true, false, true, false},
        {"mutter", {"mutter", "--x11"}},
    };
    return managers;
}

const WindowManager& Openbox() { return WindowManagers().front(); }

}  // namespace desktop
