#include "platform/process/regional_settings.h"

#include <cstddef>
#include <cstdint>

#include "platform/process/character_classes.h"

namespace platform {
namespace {

// Windows lets a user set up to three characters; a locale needs no more.
constexpr int kMostCharacters = 3;

// The length of the UTF-8 character that starts at `at`, or 0 where none
// does (a stray or truncated byte, an overlong or surrogate form).
std::size_t CharacterLength(const std::string& text, std::size_t at) {
    const auto lead = static_cast<std::uint8_t>(text[at]);
    const std::size_t length = lead < 0x80           ? 1
                               : (lead >> 5) == 0x6  ? 2
                               : (lead >> 4) == 0xE  ? 3
                               : (lead >> 3) == 0x1E ? 4
                                                     : 0;
    if (length == 0 || at + length > text.size()) {
        return 0;
    }
    std::uint32_t code = length == 1 ? lead : lead & (0xFFU >> (length + 1));
    for (std::size_t next = 1; next < length; ++next) {
        const auto byte = static_cast<std::uint8_t>(text[at + next]);
        if ((byte & 0xC0U) != 0x80U) {
            return 0;
        }
        code = (code << 6) | (byte & 0x3FU);
    }
    constexpr std::uint32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
    const bool valid = code >= kShortest[length] && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
    // Control characters would break the title; digits of any script would
    // change the number, and invisible ones hide it.
    const bool showable =
        code >= 0x20 && code != 0x7F && !(code >= 0x80 && code < 0xA0) && !ChangesOrHidesANumber(code);
    return valid && showable ? length : 0;
}

}  // namespace

std::string ShowableSeparator(const std::string& separator) {
    int characters = 0;
    for (std::size_t at = 0; at < separator.size(); ++characters) {
        const std::size_t length = CharacterLength(separator, at);
        if (length == 0 || characters == kMostCharacters) {
            return ".";
        }
        at += length;
    }
    return characters == 0 ? "." : separator;
}

std::string UserDecimalSeparator() { return DecimalSeparatorOf(""); }

}  // namespace platform
