#include "tools/snapshot_options.h"

#include <charconv>

namespace tools {
namespace {

template <typename Number>
std::optional<Number> ParseWhole(std::string_view text) {
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

bool ParseSize(std::string_view text, SnapshotOptions& options) {
    const auto cross = text.find('x');
    if (cross == std::string_view::npos) {
        return false;
    }
    const auto width = ParseWhole<int>(text.substr(0, cross));
    const auto height = ParseWhole<int>(text.substr(cross + 1));
    if (!width || !height || *width <= 0 || *height <= 0 || *width > kLargestSide || *height > kLargestSide) {
        return false;
    }
    options.width = *width;
    options.height = *height;
    return true;
}

}  // namespace

std::variant<SnapshotOptions, std::string> ParseSnapshotOptions(const std::vector<std::string>& args) {
    SnapshotOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& flag = args[i];
        const bool takesValue = flag == "--size" || flag == "--frames" || flag == "--out";
        if (takesValue && i + 1 == args.size()) {
            return flag + " needs a value";
        }
        if (flag == "--size") {
            if (!ParseSize(args[++i], options)) {
                return "--size wants WIDTHxHEIGHT, each 1 to " + std::to_string(kLargestSide) + ", not '" + args[i] +
                       "'";
            }
        } else if (flag == "--frames") {
            const auto frames = ParseWhole<std::uint64_t>(args[++i]);
            if (!frames || *frames == 0) {
                return "--frames wants a whole number of at least 1, not '" + args[i] + "'";
            }
            options.frames = *frames;
        } else if (flag == "--out") {
            options.out = args[++i];
            if (options.out->empty()) {
                return "--out wants a file name";
            }
        } else if (flag == "--captions") {
            options.captions = true;
        } else if (flag == "--digests") {
            options.digests = true;
        } else {
            return "unknown argument '" + flag + "'";
        }
    }
    return options;
}

}  // namespace tools
