// Linux: huge pages are asked for with madvise, which only Linux has, at the
// size the system's pages are.

#include <sys/mman.h>

#include <cstdlib>
#include <cstring>

#include "platform/image/page_layout.h"
#include "platform/image/pixel_memory.h"
#include "platform/run_time_error.h"

namespace platform {

PixelMemory::PixelMemory(std::size_t bytes) {
    const PageLayout layout = LayOutPages(bytes, TheSystemsPages());
    void* memory = nullptr;
    if (posix_memalign(&memory, layout.alignment, layout.bytes) != 0) {
        throw RunTimeError("cannot make the window's image", "out of memory");
    }
    data_.reset(static_cast<std::uint8_t*>(memory));
    // Only a hint: where huge pages are not to be had, small ones serve the
    // same, only slower, so a refusal is no error.
    if (layout.huge) {
        (void)madvise(data_.get(), layout.bytes, MADV_HUGEPAGE);
    }
    std::memset(data_.get(), 0, layout.bytes);
}

bool PixelMemory::Zeroed() { return true; }

void PixelMemory::Deleter::operator()(std::uint8_t* data) const { std::free(data); }

}  // namespace platform
