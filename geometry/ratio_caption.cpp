#include "geometry/ratio_caption.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <system_error>

namespace geometry {

std::string NumberText(double value, std::string_view decimalSeparator) {
    // Neither way of writing it heeds the process locale (the program never
    // sets one), so the separator is ours to set.
    std::array<char, 64> buffer{};
#if defined(__cpp_lib_to_chars)
    const auto [end, error] =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::general, 15);
    if (error != std::errc{}) {
        throw std::system_error(std::make_error_code(error), "cannot write a number as text");
    }
    const std::string_view text(buffer.data(), static_cast<std::size_t>(end - buffer.data()));
#else
    // The browser's C++ library writes no floating point with to_chars: the
    // same general form through printf, which is C's own definition of it.
    const int length = std::snprintf(buffer.data(), buffer.size(), "%.15g", value);
    if (length < 0 || static_cast<std::size_t>(length) >= buffer.size()) {
        throw std::system_error(std::make_error_code(std::errc::value_too_large), "cannot write a number as text");
    }
    const std::string_view text(buffer.data(), static_cast<std::size_t>(length));
#endif
    const std::size_t point = text.find('.');
    if (point == std::string_view::npos) {
        return std::string(text);
    }
    return std::string(text.substr(0, point)).append(decimalSeparator).append(text.substr(point + 1));
}

std::string RatioCaption(double Ratio, std::string_view decimalSeparator) {
    return kCaptionWords + NumberText(Ratio, decimalSeparator);
}

}  // namespace geometry
