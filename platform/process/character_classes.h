#pragma once

namespace platform {

// A character that would change the number it stood in, a decimal digit of
// any script (Unicode's Nd), or hide or break it: a format character (Cf:
// the bidi marks, the zero-width ones) or a line or paragraph separator.
[[nodiscard]] bool ChangesOrHidesANumber(char32_t character);

}  // namespace platform
