// The browser: memory of the module's own, which grows as the image needs,
// left as it is: the image fills it.

#include <cstdlib>

#include "platform/image/pixel_memory.h"
#include "platform/run_time_error.h"

namespace platform {

PixelMemory::PixelMemory(std::size_t bytes) {
    data_.reset(static_cast<std::uint8_t*>(std::malloc(bytes)));
    if (!data_) {
        throw RunTimeError("cannot make the window's image", "out of memory");
    }
}

bool PixelMemory::Zeroed() { return false; }

void PixelMemory::Deleter::operator()(std::uint8_t* data) const { std::free(data); }

}  // namespace platform
