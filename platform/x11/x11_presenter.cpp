#include "platform/x11/x11_presenter.h"

#include <xcb/shm.h>
#include <xcb/xcbext.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/run_time_error.h"

namespace platform::x11 {
namespace {

// Without Present, no more pictures than a display refreshes.
constexpr auto kRefreshPeriod = std::chrono::microseconds(16667);

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

const xcb_visualtype_t* RootVisual(const xcb_screen_t& screen) {
    for (auto depths = xcb_screen_allowed_depths_iterator(&screen); depths.rem > 0; xcb_depth_next(&depths)) {
        for (auto visuals = xcb_depth_visuals_iterator(depths.data); visuals.rem > 0; xcb_visualtype_next(&visuals)) {
            if (visuals.data->visual_id == screen.root_visual) {
                return visuals.data;
            }
        }
    }
    return nullptr;
}

// X's visual classes by their numbers.
constexpr std::array<const char*, 6> kVisualClasses{"static grey",   "greyscale",   "static colour",
                                                    "pseudo-colour", "true colour", "direct colour"};

int PaddedRowBytes(int width, int bitsPerPixel, int pad) {
    const int bits = width * bitsPerPixel;
    return (bits + pad - 1) / pad * pad / 8;
}

// Present and the XFixes regions it takes, each asked for its version
// first as the extensions require; false where either is missing.
bool StartPresent(const X11Connection& x11) {
    if (x11.Extension(xcb_present_id) == nullptr || x11.Extension(xcb_xfixes_id) == nullptr) {
        return false;
    }
    xcb_connection_t* connection = x11.Get();
    (void)x11.Answer(xcb_xfixes_query_version(connection, 5, 0), xcb_xfixes_query_version_reply);
    return x11.Answer(xcb_present_query_version(connection, 1, 0), xcb_present_query_version_reply) != nullptr;
}

}  // namespace

X11Presenter::X11Presenter(const X11Connection& connection, xcb_window_t window)
    : xcb_(connection.Get()), window_(window) {
    const xcb_screen_t& screen = connection.Screen();
    depth_ = screen.root_depth;
    const xcb_visualtype_t* visual = RootVisual(screen);
    if (visual == nullptr || visual->_class != XCB_VISUAL_CLASS_TRUE_COLOR) {
        throw RunTimeError(kCannotShow,
                           "the display's depth is " + std::to_string(depth_) + " bits of " +
                               (visual != nullptr ? kVisualClasses.at(visual->_class) : "no known visual") +
                               ", and the program draws in true colour at a depth of 15, 16, 24 or 30");
    }
    const auto [bitsPerPixel, pad] = PixmapFormat(xcb_, depth_);
    scanlinePad_ = pad;
    const PixelLayout layout{depth_,
                             bitsPerPixel,
                             visual->red_mask,
                             visual->green_mask,
                             visual->blue_mask,
                             xcb_get_setup(xcb_)->image_byte_order == XCB_IMAGE_ORDER_MSB_FIRST};
    std::string why;
    auto format = PixelFormat::For(layout, why);
    if (!format) {
        throw RunTimeError(kCannotShow, why);
    }
    format_ = *format;
    sharedMemoryOffered_ = connection.Extension(xcb_shm_id) != nullptr;
    if (StartPresent(connection)) {
        present_ = connection.Extension(xcb_present_id)->major_opcode;
        presentEvents_ = xcb_generate_id(xcb_);
        xcb_present_select_input(xcb_, presentEvents_, window_,
                                 XCB_PRESENT_EVENT_MASK_COMPLETE_NOTIFY | XCB_PRESENT_EVENT_MASK_IDLE_NOTIFY);
        changes_ = xcb_generate_id(xcb_);
        xcb_xfixes_create_region(xcb_, changes_, 0, nullptr);
    }
    largestRequest_ = static_cast<std::size_t>(xcb_get_maximum_request_length(xcb_)) * 4;
    gc_ = xcb_generate_id(xcb_);
    xcb_create_gc(xcb_, gc_, window_, 0, nullptr);
}

X11Presenter::~X11Presenter() {
    segment_.reset();
    if (pixmap_ != 0) {
        xcb_free_pixmap(xcb_, pixmap_);
    }
    if (present_) {
        xcb_xfixes_destroy_region(xcb_, changes_);
    }
    xcb_free_gc(xcb_, gc_);
    xcb_flush(xcb_);
}

bool X11Presenter::Ready() {
    if (present_) {
        return complete_ && idle_;
    }
    if (roundTrip_) {
        void* reply = nullptr;
        if (xcb_poll_for_reply(xcb_, roundTrip_->sequence, &reply, nullptr) == 0) {
            return false;
        }
        std::free(reply);
        roundTrip_.reset();
    }
    return std::chrono::steady_clock::now() >= nextPicture_;
}

WindowPixels X11Presenter::Pixels(int width, int height) {
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
    segment_.reset();
    width_ = width;
    height_ = height;
    stride_ = PaddedRowBytes(width, format_.BytesPerPixel() * 8, scanlinePad_);
    const std::size_t bytes = static_cast<std::size_t>(stride_) * static_cast<std::size_t>(height);
    // A server that cannot attach this process's memory never will; a size
    // this process could not have may pass later, at another size.
    if (sharedMemoryOffered_) {
        X11SharedMemory::Refusal refusal = X11SharedMemory::Refusal::None;
        segment_ = X11SharedMemory::Attach(xcb_, bytes, refusal);
        sharedMemoryOffered_ = refusal != X11SharedMemory::Refusal::ForGood;
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
    // The server lets go of the pixmap it still presents once it is done.
    if (pixmap_ != 0) {
        xcb_free_pixmap(xcb_, pixmap_);
        pixmap_ = 0;
    }
    target_ = window_;
    if (present_) {
        pixmap_ = xcb_generate_id(xcb_);
        xcb_create_pixmap(xcb_, depth_, pixmap_, window_, static_cast<std::uint16_t>(width),
                          static_cast<std::uint16_t>(height));
        target_ = pixmap_;
    }
}

void X11Presenter::Send(const std::vector<PixelRect>& rects) {
    if (!format_.SameAsImage()) {
        format_.Convert(shown_, sent_, stride_, rects);
    }
    for (const PixelRect& rect : rects) {
        Put(rect);
    }
    // Shared pixels are not written again until the server has read them:
    // it has, once it has answered a later request.
    if (present_) {
        Present(rects);
    } else {
        roundTrip_ = xcb_get_input_focus(xcb_);
        nextPicture_ = std::chrono::steady_clock::now() + kRefreshPeriod;
    }
    xcb_flush(xcb_);
}

// The changed rectangles copied from the pixmap to the window at the next
// refresh, and only those. Copied, never flipped: the pixmap stays the
// program's, whole, for the next picture's changes.
void X11Presenter::Present(const std::vector<PixelRect>& rects) {
    std::vector<xcb_rectangle_t> region;
    region.reserve(rects.size());
    for (const PixelRect& rect : rects) {
        region.push_back({static_cast<std::int16_t>(rect.x), static_cast<std::int16_t>(rect.y),
                          static_cast<std::uint16_t>(rect.width), static_cast<std::uint16_t>(rect.height)});
    }
    xcb_xfixes_set_region(xcb_, changes_, static_cast<std::uint32_t>(region.size()), region.data());
    xcb_present_pixmap(xcb_, window_, pixmap_, ++serial_, XCB_NONE, changes_, 0, 0, XCB_NONE, XCB_NONE, XCB_NONE,
                       XCB_PRESENT_OPTION_COPY, 0, 0, 0, 0, nullptr);
    complete_ = false;
    idle_ = false;
}

void X11Presenter::Put(const PixelRect& rect) {
    if (!segment_) {
        PutInRequests(rect);
        return;
    }
    xcb_shm_put_image(xcb_, target_, gc_, static_cast<std::uint16_t>(width_), static_cast<std::uint16_t>(height_),
                      static_cast<std::uint16_t>(rect.x), static_cast<std::uint16_t>(rect.y),
                      static_cast<std::uint16_t>(rect.width), static_cast<std::uint16_t>(rect.height),
                      static_cast<std::int16_t>(rect.x), static_cast<std::int16_t>(rect.y), depth_,
                      XCB_IMAGE_FORMAT_Z_PIXMAP, 0, segment_->Id(), 0);
}

// The rectangle's rows packed one after another, in as few requests as the
// server's largest request allows.
void X11Presenter::PutInRequests(const PixelRect& rect) {
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
        xcb_put_image(xcb_, XCB_IMAGE_FORMAT_Z_PIXMAP, target_, gc_, static_cast<std::uint16_t>(rect.width),
                      static_cast<std::uint16_t>(rows), static_cast<std::int16_t>(rect.x),
                      static_cast<std::int16_t>(top), 0, depth_, static_cast<std::uint32_t>(scratch_.size()),
                      scratch_.data());
    }
}

void X11Presenter::Notice(const xcb_generic_event_t& event) {
    if (EventKind(event) != XCB_GE_GENERIC || !present_) {
        return;
    }
    const auto& generic = reinterpret_cast<const xcb_ge_generic_event_t&>(event);
    if (generic.extension != *present_) {
        return;
    }
    if (generic.event_type == XCB_PRESENT_EVENT_COMPLETE_NOTIFY) {
        complete_ = complete_ || reinterpret_cast<const xcb_present_complete_notify_event_t&>(event).serial == serial_;
    } else if (generic.event_type == XCB_PRESENT_EVENT_IDLE_NOTIFY) {
        const auto& idle = reinterpret_cast<const xcb_present_idle_notify_event_t&>(event);
        idle_ = idle_ || (idle.serial == serial_ && idle.pixmap == pixmap_);
    }
}

}  // namespace platform::x11
