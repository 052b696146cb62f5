#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace platform {

// Memory for an image's pixels, in huge pages where the system offers
// them; zeroed where the system hands it out so (Zeroed()). A maximised
// window's image is some 8 MB: in 4 KB pages that is two thousand page
// faults the first time a frame touches it and a TLB miss on nearly every
// row a stroke crosses; in 2 MB pages it is four.
class PixelMemory {
public:
    PixelMemory() = default;
    // Throws a run-time error if the memory cannot be had.
    explicit PixelMemory(std::size_t bytes);

    [[nodiscard]] std::uint8_t* Data() const { return data_.get(); }
    // New memory holds zeros: on the desktops, where it is the system's own;
    // not in the browser, where zeroing the module's memory would be one
    // more pass over a picture about to be filled.
    [[nodiscard]] static bool Zeroed();

private:
    struct Deleter {
        void operator()(std::uint8_t* data) const;
    };
    std::unique_ptr<std::uint8_t, Deleter> data_;
};

}  // namespace platform
