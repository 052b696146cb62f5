#pragma once

#include <optional>
#include <string_view>

#include "platform/x11/x11_connection.h"

namespace platform::x11 {

// The dots per inch the desktop asks programs to draw at, read as desktop
// toolkits read it: Xft.dpi from the screen's resource database (what GNOME,
// KDE and Xfce set when the user scales the desktop), 96 where it is not set.
[[nodiscard]] double DesktopDotsPerInch(const X11Connection& connection);

// Xft.dpi's value in a resource database's text (the root window's
// RESOURCE_MANAGER, as xrdb leaves it), if it has one.
[[nodiscard]] std::optional<std::string_view> XftDpiIn(std::string_view resources);

// The dots per inch from Xft.dpi's value, if there is one; 96 for a text
// that is no sensible number of dots per inch.
[[nodiscard]] double DotsPerInchFrom(std::optional<std::string_view> xftDpi);

}  // namespace platform::x11
