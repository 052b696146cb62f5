#include "platform/image/page_layout.h"

#include <unistd.h>

#include <fstream>

namespace platform {
namespace {

// Where the kernel tells the size of its transparent huge pages.
constexpr const char* kHugePageSize = "/sys/kernel/mm/transparent_hugepage/hpage_pmd_size";

}  // namespace

SystemPages TheSystemsPages() {
    static const SystemPages pages = [] {
        SystemPages told;
        const long page = sysconf(_SC_PAGESIZE);
        told.page = page > 0 ? static_cast<std::size_t>(page) : 0;
        std::ifstream huge(kHugePageSize);
        if (!(huge >> told.huge) || told.page == 0 || told.huge % told.page != 0) {
            told.huge = 0;
        }
        return told;
    }();
    return pages;
}

PageLayout LayOutPages(std::size_t bytes, SystemPages pages) {
    const std::size_t page = pages.page != 0 ? pages.page : 1;
    const bool huge = pages.huge != 0 && bytes >= pages.huge;
    return {huge ? pages.huge : page, (bytes + page - 1) / page * page, huge};
}

}  // namespace platform
