#include "platform/x11/x11_presenter.h"

#include <X11/Xlib-xcb.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <xcb/shm.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/run_time_error.h"

namespace platform::x11 {
namespace {

// The bits a pixel takes at this depth, and the padding of its rows.
std::pair<int, int> PixmapFormat(xcb_connection_t* connection, int depth) {
    const xcb_setup_t* setup = xcb_get_setup(connection);
    for (auto formats = xcb_setup_pixmap_formats_iterator(setup); formats.rem > 0; xcb_format_next(&formats)) {
        if (formats.data->depth == depth) {
            return {formats.data->bits_per_pixel, formats.data->scanline_pad};
        }
    }
    throw RunTimeError(kCannotShow, "the display has no image format for depth " + std::to_string(depth));
}

const char* VisualClassName(int visualClass) {
    switch (visualClass) {
        case StaticGray:
            return "static grey";
        case GrayScale:
            return "greyscale";
        case StaticColor:
            return "static colour";
        case PseudoColor:
            return "pseudo-colour";
        default:
            return "true colour";
    }
}

int PaddedRowBytes(int width, int bitsPerPixel, int pad) {
    const int bits = width * bitsPerPixel;
    return (bits + pad - 1) / pad * pad / 8;
}

}  // namespace

// A shared-memory segment attached to the X server, detached and let go
// with this. It is marked for removal as soon as both sides hold it, so
// that nothing is left behind however the program ends.
class X11Presenter::SharedSegment {
public:
    // Nothing when the server cannot share memory with this process.
    static std::unique_ptr<SharedSegment> Attach(xcb_connection_t* connection, std::size_t bytes) {
        const int id = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
        if (id < 0) {
            return nullptr;
        }
        void* memory = shmat(id, nullptr, 0);
        // shmat's failure is the address -1.
        if (reinterpret_cast<std::intptr_t>(memory) == -1) {
            shmctl(id, IPC_RMID, nullptr);
            return nullptr;
        }
        const xcb_shm_seg_t segment = xcb_generate_id(connection);
        xcb_generic_error_t* error = xcb_request_check(
            connection, xcb_shm_attach_checked(connection, segment, static_cast<std::uint32_t>(id), 0));
        shmctl(id, IPC_RMID, nullptr);
        if (error != nullptr) {
            // A server on another machine cannot reach this memory.
            std::free(error);
            shmdt(memory);
            return nullptr;
        }
        return std::make_unique<SharedSegment>(connection, segment, static_cast<std::uint8_t*>(memory));
    }
    SharedSegment(xcb_connection_t* connection, xcb_shm_seg_t segment, std::uint8_t* memory)
        : connection_(connection), segment_(segment), memory_(memory) {}
    ~SharedSegment() {
        xcb_shm_detach(connection_, segment_);
        xcb_flush(connection_);
        shmdt(memory_);
    }
    SharedSegment(const SharedSegment&) = delete;
    SharedSegment& operator=(const SharedSegment&) = delete;

    [[nodiscard]] xcb_shm_seg_t Id() const { return segment_; }
    [[nodiscard]] std::uint8_t* Memory() const { return memory_; }

private:
    xcb_connection_t* connection_;
    xcb_shm_seg_t segment_;
    std::uint8_t* memory_;
};

X11Presenter::X11Presenter(Display* display, ::Window window)
    : connection_(XGetXCBConnection(display)), window_(static_cast<xcb_window_t>(window)) {
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display, window, &attributes) == 0 || attributes.visual == nullptr) {
        throw RunTimeError(kCannotShow, "the window's visual cannot be read");
    }
    depth_ = static_cast<std::uint8_t>(attributes.depth);
    const auto [bitsPerPixel, pad] = PixmapFormat(connection_, attributes.depth);
    scanlinePad_ = pad;
    // SDL gives its windows a direct-colour visual where there is one, with a
    // straight ramp in its colour map: its pixels are laid out as true colour's.
    if (attributes.visual->c_class != TrueColor && attributes.visual->c_class != DirectColor) {
        throw RunTimeError(kCannotShow, "the display's depth is " + std::to_string(attributes.depth) + " bits of " +
                                            VisualClassName(attributes.visual->c_class) +
                                            ", and the program draws in true colour at a depth of 15, 16, 24 or 30");
    }
    const X11PixelLayout layout{attributes.depth,
                                bitsPerPixel,
                                static_cast<std::uint32_t>(attributes.visual->red_mask),
                                static_cast<std::uint32_t>(attributes.visual->green_mask),
                                static_cast<std::uint32_t>(attributes.visual->blue_mask),
                                xcb_get_setup(connection_)->image_byte_order == XCB_IMAGE_ORDER_MSB_FIRST};
    std::string why;
    auto format = X11PixelFormat::For(layout, why);
    if (!format) {
        throw RunTimeError(kCannotShow, why);
    }
    format_ = *format;
    const xcb_query_extension_reply_t* shm = xcb_get_extension_data(connection_, &xcb_shm_id);
    sharedMemoryOffered_ = shm != nullptr && shm->present != 0;
    largestRequest_ = static_cast<std::size_t>(xcb_get_maximum_request_length(connection_)) * 4;
    gc_ = xcb_generate_id(connection_);
    xcb_create_gc(connection_, gc_, window_, 0, nullptr);
}

X11Presenter::~X11Presenter() {
    segment_.reset();
    xcb_free_gc(connection_, gc_);
    xcb_flush(connection_);
}

WindowPixels X11Presenter::Pixels(int width, int height) {
    WaitForServer();
    const bool fresh = width != width_ || height != height_;
    if (fresh) {
        Allocate(width, height);
    }
    // Pixels sent in the requests themselves cost the most: a finer tile
    // sends less of them around a thin stroke.
    constexpr int kRequestTile = 8;
    return {shown_, fresh, segment_ ? ChangedTiles::kTileSize : kRequestTile};
}

void X11Presenter::Allocate(int width, int height) {
    WaitForServer();
    segment_.reset();
    width_ = width;
    height_ = height;
    stride_ = PaddedRowBytes(width, format_.BytesPerPixel() * 8, scanlinePad_);
    const std::size_t bytes = static_cast<std::size_t>(stride_) * static_cast<std::size_t>(height);
    if (sharedMemoryOffered_) {
        segment_ = SharedSegment::Attach(connection_, bytes);
        // Once refused, it will be refused again: the rest goes in requests.
        sharedMemoryOffered_ = segment_ != nullptr;
    }
    sentCopy_.clear();
    shownCopy_.clear();
    if (segment_) {
        sent_ = segment_->Memory();
    } else {
        sentCopy_.assign(bytes, 0);
        sent_ = sentCopy_.data();
    }
    if (format_.SameAsImage()) {
        shown_ = {sent_, width, height, stride_};
    } else {
        shownCopy_.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
        shown_ = {reinterpret_cast<std::uint8_t*>(shownCopy_.data()), width, height,
                  width * static_cast<int>(sizeof(std::uint32_t))};
    }
}

void X11Presenter::WaitForServer() {
    if (pendingSync_) {
        std::free(xcb_get_input_focus_reply(connection_, *pendingSync_, nullptr));
        pendingSync_.reset();
    }
}

void X11Presenter::Send(const std::vector<PixelRect>& rects) {
    if (!format_.SameAsImage()) {
        format_.Convert(shown_, sent_, stride_, rects);
    }
    for (const PixelRect& rect : rects) {
        if (segment_) {
            xcb_shm_put_image(connection_, window_, gc_, static_cast<std::uint16_t>(width_),
                              static_cast<std::uint16_t>(height_), static_cast<std::uint16_t>(rect.x),
                              static_cast<std::uint16_t>(rect.y), static_cast<std::uint16_t>(rect.width),
                              static_cast<std::uint16_t>(rect.height), static_cast<std::int16_t>(rect.x),
                              static_cast<std::int16_t>(rect.y), depth_, XCB_IMAGE_FORMAT_Z_PIXMAP, 0, segment_->Id(),
                              0);
        } else {
            SendInRequests(rect);
        }
    }
    // Shared pixels must not be written again until the server has read
    // them: the round trip's answer says so. Not waited for now: the next
    // frame is drawn while the server reads. Pixels sent in the requests
    // are the server's already, and the socket holds back a program that
    // runs ahead of it.
    if (segment_) {
        pendingSync_ = xcb_get_input_focus(connection_);
    }
    xcb_flush(connection_);
}

// The rectangle's rows packed one after another, in as few requests as the
// server's largest request allows.
void X11Presenter::SendInRequests(const PixelRect& rect) {
    constexpr std::size_t kRequestHeader = 24;
    const int rowBytes = PaddedRowBytes(rect.width, format_.BytesPerPixel() * 8, scanlinePad_);
    const int rowsPerRequest =
        std::max(1, static_cast<int>((largestRequest_ - kRequestHeader) / static_cast<std::size_t>(rowBytes)));
    const auto used = static_cast<std::size_t>(rect.width) * static_cast<std::size_t>(format_.BytesPerPixel());
    for (int top = rect.y; top < rect.y + rect.height; top += rowsPerRequest) {
        const int rows = std::min(rowsPerRequest, rect.y + rect.height - top);
        scratch_.resize(static_cast<std::size_t>(rowBytes) * static_cast<std::size_t>(rows));
        for (int row = 0; row < rows; ++row) {
            std::memcpy(scratch_.data() + static_cast<std::ptrdiff_t>(row) * rowBytes,
                        sent_ + static_cast<std::ptrdiff_t>(top + row) * stride_ +
                            static_cast<std::ptrdiff_t>(rect.x) * format_.BytesPerPixel(),
                        used);
        }
        xcb_put_image(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, window_, gc_, static_cast<std::uint16_t>(rect.width),
                      static_cast<std::uint16_t>(rows), static_cast<std::int16_t>(rect.x),
                      static_cast<std::int16_t>(top), 0, depth_, static_cast<std::uint32_t>(scratch_.size()),
                      scratch_.data());
    }
}

}  // namespace platform::x11
