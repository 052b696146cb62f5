#pragma once

#include <string>
#include <string_view>

namespace geometry {

inline constexpr const char* kCaptionWords = "Fii on suunnilleen ";

// A number as the title shows it: general form, at most 15 significant
// digits, trailing zeros dropped, with the user's decimal separator.
[[nodiscard]] std::string NumberText(double value, std::string_view decimalSeparator);

// "Fii on suunnilleen " followed by the ratio.
[[nodiscard]] std::string RatioCaption(double Ratio, std::string_view decimalSeparator);

}  // namespace geometry
