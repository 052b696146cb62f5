#pragma once

#include <X11/Xlib.h>

#include <optional>
#include <string_view>

namespace platform::x11 {

// The dots per inch the desktop asks programs to draw at, read as desktop
// toolkits read it: Xft.dpi from the screen's resource database (what GNOME,
// KDE and Xfce set when the user scales the desktop), 96 where it is not set.
[[nodiscard]] double DesktopDotsPerInch(Display* display);

// The same from the resource's text, if there is one; 96 for a text that is
// no sensible number of dots per inch.
[[nodiscard]] double DotsPerInchFrom(std::optional<std::string_view> xftDpi);

}  // namespace platform::x11
