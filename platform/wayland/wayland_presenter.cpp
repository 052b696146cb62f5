#include "platform/wayland/wayland_presenter.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>

#include "platform/image/tile_copy.h"
#include "platform/run_time_error.h"

namespace platform::wayland {
namespace {

// Enough for the compositor to hold one while another is drawn into.
constexpr std::size_t kMostBuffers = 3;
// A buffer left behind by more changes than this is copied whole instead.
constexpr std::size_t kMostRectsBehind = 4096;
// libwayland holds a frame's requests in a few kilobytes before it must
// write them out, and a compositor that is slow to read would then make it
// fail: past this many rectangles, the damage is told a band at a time.
constexpr std::size_t kMostDamageRects = 96;
constexpr int kDamageBand = 32;

// Fewer rectangles covering the same pixels: each band of rows as the span
// from its leftmost to its rightmost change.
std::vector<PixelRect> Banded(const std::vector<PixelRect>& rects, int height) {
    const int bands = (height + kDamageBand - 1) / kDamageBand;
    std::vector<std::pair<int, int>> spans(static_cast<std::size_t>(bands), {INT32_MAX, -1});
    for (const PixelRect& rect : rects) {
        for (int band = rect.y / kDamageBand; band * kDamageBand < rect.y + rect.height; ++band) {
            auto& [left, right] = spans[static_cast<std::size_t>(band)];
            left = std::min(left, rect.x);
            right = std::max(right, rect.x + rect.width);
        }
    }
    std::vector<PixelRect> banded;
    for (int band = 0; band < bands; ++band) {
        const auto [left, right] = spans[static_cast<std::size_t>(band)];
        if (right > left) {
            const int top = band * kDamageBand;
            banded.push_back({left, top, right - left, std::min(kDamageBand, height - top)});
        }
    }
    return banded;
}

}  // namespace

PixelRect BufferToSurface(const PixelRect& rect, PixelSize buffer, PixelSize surface) {
    const auto down = [](int at, int to, int from) {
        return static_cast<int>(static_cast<std::int64_t>(at) * to / from);
    };
    const auto up = [](int at, int to, int from) {
        return static_cast<int>((static_cast<std::int64_t>(at) * to + from - 1) / from);
    };
    const int left = down(rect.x, surface.width, buffer.width);
    const int top = down(rect.y, surface.height, buffer.height);
    return {left, top, up(rect.x + rect.width, surface.width, buffer.width) - left,
            up(rect.y + rect.height, surface.height, buffer.height) - top};
}

// One shared-memory buffer: its memory, mapped here and in the compositor,
// and the parts of the picture it lacks.
struct WaylandPresenter::Buffer {
    Buffer(wl_shm* shm, int width, int height) : bytes(static_cast<std::size_t>(width) * height * 4) {
        const int fd = memfd_create("pentagram-frame", MFD_CLOEXEC);
        if (fd < 0 || ftruncate(fd, static_cast<off_t>(bytes)) != 0) {
            const std::string why = std::strerror(errno);
            if (fd >= 0) {
                close(fd);
            }
            throw RunTimeError(kCannotShow, "cannot make shared memory for it: " + why);
        }
        void* mapped = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        if (mapped == MAP_FAILED) {
            const std::string why = std::strerror(errno);
            close(fd);
            throw RunTimeError(kCannotShow, "cannot map its shared memory: " + why);
        }
        memory = static_cast<std::uint8_t*>(mapped);
        const PoolHandle pool(wl_shm_create_pool(shm, fd, static_cast<std::int32_t>(bytes)));
        close(fd);
        buffer.reset(wl_shm_pool_create_buffer(pool.get(), 0, width, height, width * 4, WL_SHM_FORMAT_XRGB8888));
        static const wl_buffer_listener listener{
            [](void* data, wl_buffer* /*buffer*/) { static_cast<Buffer*>(data)->busy = false; }};
        wl_buffer_add_listener(buffer.get(), &listener, this);
        rows = {memory, width, height, width * 4};
    }
    ~Buffer() {
        buffer.reset();
        munmap(memory, bytes);
    }
    Buffer(const Buffer&) = delete;
    Buffer& operator=(const Buffer&) = delete;

    std::size_t bytes;
    std::uint8_t* memory = nullptr;
    PixelRows rows;
    BufferHandle buffer;
    bool busy = false;
    // What the picture gained since this buffer was last sent; all of it
    // when `whole` (a new buffer, or one left behind too long).
    bool whole = true;
    std::vector<PixelRect> behind;
};

WaylandPresenter::WaylandPresenter(wl_shm* shm) : shm_(shm) {}

WaylandPresenter::~WaylandPresenter() = default;

WindowPixels WaylandPresenter::Pixels(int width, int height) {
    const bool fresh = width != width_ || height != height_;
    if (fresh) {
        Allocate(width, height);
    }
    return {{reinterpret_cast<std::uint8_t*>(shown_.data()), width_, height_, width_ * 4}, fresh};
}

bool WaylandPresenter::HasFreeBuffer() const {
    return buffers_.size() < kMostBuffers ||
           std::any_of(buffers_.begin(), buffers_.end(), [](const auto& buffer) { return !buffer->busy; });
}

void WaylandPresenter::Attach(wl_surface* surface, const std::vector<PixelRect>& rects, PixelSize surfaceSize) {
    Buffer* next = FreeBuffer();
    if (next == nullptr) {
        throw RunTimeError(kCannotShow, "the compositor holds every buffer of it");
    }
    // The buffer catches up with what it missed, and with this frame.
    const PixelRows shown{reinterpret_cast<std::uint8_t*>(shown_.data()), width_, height_, width_ * 4};
    if (next->whole) {
        CopyRects(shown, next->rows, {{0, 0, width_, height_}});
    } else {
        CopyRects(shown, next->rows, next->behind);
        CopyRects(shown, next->rows, rects);
    }
    next->whole = false;
    next->behind.clear();
    for (const auto& other : buffers_) {
        if (other.get() != next && !other->whole) {
            other->behind.insert(other->behind.end(), rects.begin(), rects.end());
            other->whole = other->behind.size() > kMostRectsBehind;
        }
    }
    wl_surface_attach(surface, next->buffer.get(), 0, 0);
    const bool inBufferPixels = wl_surface_get_version(surface) >= WL_SURFACE_DAMAGE_BUFFER_SINCE_VERSION;
    for (const PixelRect& rect : rects.size() > kMostDamageRects ? Banded(rects, height_) : rects) {
        if (inBufferPixels) {
            wl_surface_damage_buffer(surface, rect.x, rect.y, rect.width, rect.height);
        } else {
            const PixelRect damage = BufferToSurface(rect, {width_, height_}, surfaceSize);
            wl_surface_damage(surface, damage.x, damage.y, damage.width, damage.height);
        }
    }
    next->busy = true;
}

WaylandPresenter::Buffer* WaylandPresenter::FreeBuffer() {
    for (const auto& buffer : buffers_) {
        if (!buffer->busy) {
            return buffer.get();
        }
    }
    if (buffers_.size() < kMostBuffers) {
        buffers_.push_back(std::make_unique<Buffer>(shm_, width_, height_));
        return buffers_.back().get();
    }
    return nullptr;
}

// Buffers of another size are let go; the compositor keeps what it shows.
void WaylandPresenter::Allocate(int width, int height) {
    buffers_.clear();
    width_ = width;
    height_ = height;
    shown_.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
}

}  // namespace platform::wayland
