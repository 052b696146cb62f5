#pragma once

#include <regex>
#include <string>

namespace desktop {

// The title once the program draws: the ratio to fifteen significant
// digits (fourteen where the fifteenth is a trailing zero), with one of the
// given decimal separators.
inline bool IsRatioTitle(const std::string& title, const std::string& separators = ".") {
    return std::regex_match(title, std::regex("Fii on suunnilleen 1[" + separators + "]6180339887(4989|499)"));
}

}  // namespace desktop
