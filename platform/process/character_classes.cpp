#include "platform/process/character_classes.h"

#include <algorithm>
#include <iterator>

namespace platform {
namespace {

struct Range {
    char32_t first;
    char32_t last;
};

// In order, apart from one another.
constexpr Range kChangesOrHides[] = {
#include "platform/process/character_classes_table.inc"
};

}  // namespace

bool ChangesOrHidesANumber(char32_t character) {
    const auto* after = std::upper_bound(std::begin(kChangesOrHides), std::end(kChangesOrHides), character,
                                         [](char32_t code, const Range& range) { return code < range.first; });
    return after != std::begin(kChangesOrHides) && character <= std::prev(after)->last;
}

}  // namespace platform
