// Windows: the pixels are committed pages from VirtualAlloc, zeroed by the system.

#include <windows.h>

#include "platform/image/pixel_memory.h"
#include "platform/run_time_error.h"

namespace platform {

PixelMemory::PixelMemory(std::size_t bytes) {
    data_.reset(static_cast<std::uint8_t*>(VirtualAlloc(nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)));
    if (!data_) {
        throw RunTimeError("cannot make the window's image", "out of memory");
    }
}

bool PixelMemory::Zeroed() { return true; }

void PixelMemory::Deleter::operator()(std::uint8_t* data) const { VirtualFree(data, 0, MEM_RELEASE); }

}  // namespace platform
