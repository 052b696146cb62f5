#pragma once

// How an image's memory is laid out in the system's pages (Linux). Nothing
// here takes a page to be 4 KB: ARM laptops have 16 KB and 64 KB pages,
// whose huge pages are 32 MB and 512 MB.

#include <cstddef>

namespace platform {

// The system's page and its transparent huge page (0 where it has none).
struct SystemPages {
    std::size_t page = 0;
    std::size_t huge = 0;
};

// As the system tells them, asked once.
[[nodiscard]] SystemPages TheSystemsPages();

// An image's memory: aligned to a huge page where the image fills one at
// least, so that the system can give it huge pages, and to a page
// otherwise; a whole number of pages long.
struct PageLayout {
    std::size_t alignment = 0;
    std::size_t bytes = 0;
    bool huge = false;

    friend bool operator==(const PageLayout&, const PageLayout&) = default;
};

[[nodiscard]] PageLayout LayOutPages(std::size_t bytes, SystemPages pages);

}  // namespace platform
