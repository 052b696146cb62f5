#include "platform/x11/x11_resources.h"

#include <X11/Xresource.h>

#include <charconv>
#include <memory>
#include <string>

#include "platform/form/form_properties.h"

namespace platform::x11 {
namespace {

// Beyond these a value is a typing error, not a screen.
constexpr double kFewestDotsPerInch = 24;
constexpr double kMostDotsPerInch = 960;

struct DatabaseDeleter {
    void operator()(_XrmHashBucketRec* database) const { XrmDestroyDatabase(database); }
};

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

double DesktopDotsPerInch(Display* display) {
    const char* resources = XResourceManagerString(display);
    if (resources == nullptr) {
        return kStandardDotsPerInch;
    }
    XrmInitialize();
    const std::unique_ptr<_XrmHashBucketRec, DatabaseDeleter> database(XrmGetStringDatabase(resources));
    char* type = nullptr;
    XrmValue value{};
    if (!database || XrmGetResource(database.get(), "Xft.dpi", "Xft.Dpi", &type, &value) == 0 ||
        value.addr == nullptr) {
        return kStandardDotsPerInch;
    }
    return DotsPerInchFrom(std::string_view(value.addr));
}

}  // namespace platform::x11
