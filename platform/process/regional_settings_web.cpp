// The browser: the decimal separator of the browser's language, as its own
// number formatting writes it.

#include <emscripten.h>

#include <array>
#include <string>

#include "platform/process/regional_settings.h"

namespace {

// Writes the separator of the named language (the browser's own where the
// name is empty) into `out`, as UTF-8; nothing where the language is unknown.
EM_JS(void, pentagram_decimal_separator, (const char* language, char* out, int size), {
    var separator = "";
    try {
        var name = UTF8ToString(language) || navigator.language;
        var parts = new Intl.NumberFormat(name).formatToParts(1.5);
        for (var i = 0; i < parts.length; ++i) {
            if (parts[i].type === "decimal") {
                separator = parts[i].value;
            }
        }
    } catch (unknownLanguage) {
        separator = "";
    }
    stringToUTF8(separator, out, size);
});

}  // namespace

namespace platform {

std::string DecimalSeparatorOf(const char* locale_name) {
    std::array<char, 32> separator{};
    pentagram_decimal_separator(locale_name, separator.data(), static_cast<int>(separator.size()));
    return ShowableSeparator(separator.data());
}

}  // namespace platform
