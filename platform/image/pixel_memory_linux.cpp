// Linux: huge pages are asked for with madvise, which only Linux has.

#include "platform/image/pixel_memory.h"

#include <sys/mman.h>

#include <cstdlib>
#include <cstring>

#include "platform/run_time_error.h"

namespace platform {
namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

}  // namespace

PixelMemory::PixelMemory(std::size_t bytes) {
    const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    data_.reset(static_cast<std::uint8_t*>(std::aligned_alloc(kHugePage, rounded)));
    if (!data_) {
        throw RunTimeError("cannot make the window's image", "out of memory");
    }
    // Only a hint: where huge pages are not to be had, small ones serve the
    // same, only slower, so a refusal is no error.
    (void)madvise(data_.get(), rounded, MADV_HUGEPAGE);
    std::memset(data_.get(), 0, rounded);
}

bool PixelMemory::Zeroed() { return true; }

void PixelMemory::Deleter::operator()(std::uint8_t* data) const { std::free(data); }

}  // namespace platform
