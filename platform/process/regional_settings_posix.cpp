// POSIX: the user's numeric locale is read through newlocale and nl_langinfo_l.

#include "platform/process/regional_settings.h"

#include <langinfo.h>
#include <clocale>

namespace platform {

char DecimalSeparatorOf(const char* locale_name) {
    locale_t locale = newlocale(LC_NUMERIC_MASK, locale_name, static_cast<locale_t>(nullptr));
    if (locale == static_cast<locale_t>(nullptr)) {
        return '.';
    }
    const char* radix = nl_langinfo_l(RADIXCHAR, locale);
    // A separator of more than one byte cannot stand in for the '.'.
    const char separator = (radix != nullptr && radix[0] != '\0' && radix[1] == '\0') ? radix[0] : '.';
    freelocale(locale);
    return separator;
}

char UserDecimalSeparator() { return DecimalSeparatorOf(""); }

}  // namespace platform
