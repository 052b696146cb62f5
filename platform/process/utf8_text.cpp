#include "platform/process/utf8_text.h"

#include <cstdint>

namespace platform {

Utf8Character Utf8CharacterAt(std::string_view text, std::size_t at) {
    const auto lead = static_cast<std::uint8_t>(text[at]);
    const std::size_t length = lead < 0x80           ? 1
                               : (lead >> 5) == 0x6  ? 2
                               : (lead >> 4) == 0xE  ? 3
                               : (lead >> 3) == 0x1E ? 4
                                                     : 0;
    if (length == 0 || at + length > text.size()) {
        return {};
    }
    std::uint32_t code = length == 1 ? lead : lead & (0xFFU >> (length + 1));
    for (std::size_t next = 1; next < length; ++next) {
        const auto byte = static_cast<std::uint8_t>(text[at + next]);
        if ((byte & 0xC0U) != 0x80U) {
            return {};
        }
        code = (code << 6) | (byte & 0x3FU);
    }
    constexpr std::uint32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
    const bool valid = code >= kShortest[length] && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
    return valid ? Utf8Character{code, length} : Utf8Character{};
}

bool IsUtf8(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = Utf8CharacterAt(text, at).length;
        if (length == 0) {
            return false;
        }
        at += length;
    }
    return true;
}

}  // namespace platform
