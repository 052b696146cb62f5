#pragma once

#include <string>

namespace geometry {

inline constexpr const char* kCaptionWords = "Fii on suunnilleen ";

// A number as the title shows it: general form, at most 15 significant
// digits, trailing zeros dropped, with the user's decimal separator.
[[nodiscard]] std::string NumberText(double value, char decimalSeparator);

// "Fii on suunnilleen " followed by the ratio.
[[nodiscard]] std::string RatioCaption(double Ratio, char decimalSeparator);

}  // namespace geometry
