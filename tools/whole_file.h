#pragma once

#include <string>
#include <string_view>

namespace tools {

// Writes the bytes beside the path and renames them onto it, so that the path
// holds either all of them or what it held before, never a part. Throws
// platform::RunTimeError naming the path and the reason.
void WriteWholeFile(const std::string& path, std::string_view bytes);

}  // namespace tools
