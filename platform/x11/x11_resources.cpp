#include "platform/x11/x11_resources.h"

#include <algorithm>
#include <charconv>
#include <string>

#include "platform/form/form_properties.h"

namespace platform::x11 {
namespace {

// Beyond these a value is a typing error, not a screen.
constexpr double kFewestDotsPerInch = 24;
constexpr double kMostDotsPerInch = 960;

}  // namespace

double DotsPerInchFrom(std::optional<std::string_view> xftDpi) {
    if (!xftDpi) {
        return kStandardDotsPerInch;
    }
    std::string_view text = *xftDpi;
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    const bool restIsBlank =
        std::string_view(end, text.data() + text.size()).find_first_not_of(" \t") == std::string_view::npos;
    if (error != std::errc{} || !restIsBlank || value < kFewestDotsPerInch || value > kMostDotsPerInch) {
        return kStandardDotsPerInch;
    }
    return value;
}

double DesktopDotsPerInch(const X11Connection& connection) {
    const std::string resources = connection.Text(connection.Root(), XCB_ATOM_RESOURCE_MANAGER, XCB_ATOM_STRING);
    return DotsPerInchFrom(XftDpiIn(resources));
}

// One resource a line, "name:" and the value; the last one given counts.
std::optional<std::string_view> XftDpiIn(std::string_view resources) {
    constexpr std::string_view kName = "Xft.dpi";
    std::optional<std::string_view> value;
    while (!resources.empty()) {
        const std::size_t end = std::min(resources.find('\n'), resources.size());
        std::string_view line = resources.substr(0, end);
        resources.remove_prefix(std::min(end + 1, resources.size()));
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) {
            continue;
        }
        std::string_view name = line.substr(0, colon);
        while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) {
            name.remove_suffix(1);
        }
        if (name == kName) {
            value = line.substr(colon + 1);
        }
    }
    return value;
}

}  // namespace platform::x11
