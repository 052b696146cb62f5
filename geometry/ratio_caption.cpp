#include "geometry/ratio_caption.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <system_error>

namespace geometry {

std::string NumberText(double value, char decimalSeparator) {
    // to_chars ignores the process locale, so the separator is ours to set.
    std::array<char, 64> buffer{};
    const auto [end, error] =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::general, 15);
    if (error != std::errc{}) {
        throw std::system_error(std::make_error_code(error), "cannot write a number as text");
    }
    std::string text(buffer.data(), end);
    std::replace(text.begin(), text.end(), '.', decimalSeparator);
    return text;
}

std::string RatioCaption(double Ratio, char decimalSeparator) {
    return kCaptionWords + NumberText(Ratio, decimalSeparator);
}

}  // namespace geometry
