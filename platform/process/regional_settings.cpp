#include "platform/process/regional_settings.h"

#include <cstddef>
#include <cstdint>

#include "platform/process/character_classes.h"
#include "platform/process/utf8_text.h"

namespace platform {
namespace {

// Windows lets a user set up to three characters; a locale needs no more.
constexpr int kMostCharacters = 3;

// The length of the character that starts at `at`, or 0 where none does or
// it cannot stand in for the point.
std::size_t CharacterLength(const std::string& text, std::size_t at) {
    const auto [code, length] = Utf8CharacterAt(text, at);
    // Control characters would break the title; digits of any script would
    // change the number, and invisible ones hide it.
    const bool showable =
        code >= 0x20 && code != 0x7F && !(code >= 0x80 && code < 0xA0) && !ChangesOrHidesANumber(code);
    return showable ? length : 0;
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
