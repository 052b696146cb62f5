// POSIX: the user's numeric locale is read through newlocale and
// nl_langinfo_l, and its separator turned into UTF-8 from the numeric
// category's own character set (glibc's _NL_NUMERIC_CODESET).

#include <iconv.h>
#include <langinfo.h>

#include <array>
#include <clocale>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/process/regional_settings.h"

namespace platform {
namespace {

// The numeric category alone: the others may name a locale that is not
// installed, which has nothing to do with the numbers.
struct LocaleHandle {
    explicit LocaleHandle(const char* name) : locale(newlocale(LC_NUMERIC_MASK, name, nullptr)) {}
    ~LocaleHandle() {
        if (locale != nullptr) {
            freelocale(locale);
        }
    }
    LocaleHandle(const LocaleHandle&) = delete;
    LocaleHandle& operator=(const LocaleHandle&) = delete;
    locale_t locale;
};

// Text in the named character set as UTF-8; empty where it cannot be turned.
std::string ToUtf8(const std::string& text, const char* charset) {
    if (std::string_view(charset) == "UTF-8") {
        return text;
    }
    const iconv_t converter = iconv_open("UTF-8", charset);
    // iconv_open's failure is the handle -1.
    if (reinterpret_cast<std::intptr_t>(converter) == -1) {
        return "";
    }
    std::string input = text;
    std::array<char, 64> output{};
    char* in = input.data();
    char* out = output.data();
    std::size_t inLeft = input.size();
    std::size_t outLeft = output.size();
    const bool converted = iconv(converter, &in, &inLeft, &out, &outLeft) != static_cast<std::size_t>(-1);
    iconv_close(converter);
    return converted && inLeft == 0 ? std::string(output.data(), out) : "";
}

}  // namespace

std::string DecimalSeparatorOf(const char* locale_name) {
    const LocaleHandle handle(locale_name);
    if (handle.locale == nullptr) {
        return ".";
    }
    // The numeric category's own character set: LC_NUMERIC and LC_CTYPE
    // may be of different locales, and CODESET is LC_CTYPE's.
    const char* radix = nl_langinfo_l(RADIXCHAR, handle.locale);
    const char* charset = nl_langinfo_l(_NL_NUMERIC_CODESET, handle.locale);
    if (radix == nullptr || charset == nullptr) {
        return ".";
    }
    return ShowableSeparator(ToUtf8(radix, charset));
}

}  // namespace platform
