#pragma once

#include <cstddef>
#include <string_view>

namespace platform {

// A character of UTF-8 text: its code point and how many bytes it takes.
struct Utf8Character {
    char32_t code = 0;
    std::size_t length = 0;
};

// The character that starts at `at`; a length of 0 where none does (a stray
// or truncated byte, an overlong or surrogate form).
[[nodiscard]] Utf8Character Utf8CharacterAt(std::string_view text, std::size_t at);

// Whether the text is UTF-8 through and through.
[[nodiscard]] bool IsUtf8(std::string_view text);

}  // namespace platform
