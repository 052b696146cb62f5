#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace tools {

struct SnapshotOptions {
    int width = 1024;
    int height = 740;
    std::uint64_t frames = 1;
    bool captions = false;
    bool digests = false;
    std::optional<std::string> out;
};

// The largest side an image may have; larger sizes are refused before any
// memory is taken for them.
inline constexpr int kLargestSide = 16384;

inline constexpr const char* kSnapshotUsage =
    "usage: pentagram-snapshot [--size WxH] [--frames N] [--captions] [--digests] [--out FILE.png]";

// The options, or the reason the arguments are not usable.
[[nodiscard]] std::variant<SnapshotOptions, std::string> ParseSnapshotOptions(const std::vector<std::string>& args);

}  // namespace tools
