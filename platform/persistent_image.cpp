#include "platform/persistent_image.h"

#include <algorithm>
#include <span>
#include <stdexcept>

#include "platform/run_time_error.h"

namespace platform {
namespace {

// 0x00BBGGRR as the image's 0x00RRGGBB.
std::uint32_t PixelOf(Colour colour) {
    return ((colour & 0xFFU) << 16) | (colour & 0xFF00U) | ((colour >> 16) & 0xFFU);
}

// Pixel coordinates name pixels; cairo's name their corners. A point at
// pixel (x, y) is the centre of that pixel.
constexpr double kPixelCentre = 0.5;

}  // namespace

void PersistentImage::Resize(int width, int height, Colour background) {
    if (width == width_ && height == height_) {
        return;
    }
    if (width < 0 || height < 0) {
        throw RunTimeError("cannot size the window's image", "negative size");
    }
    // The old surface goes before the pixels it draws on.
    auto oldPixels = std::move(pixels_);
    auto oldSurface = std::move(surface_);
    const int oldWidth = width_;
    const int oldHeight = height_;
    context_.reset();
    width_ = width;
    height_ = height;
    changed_.Reset(width, height);
    drawn_.clear();
    clearedTo_.reset();
    if (width == 0 || height == 0) {
        return;
    }
    // Zeroed memory is a black picture already.
    const int stride = cairo_format_stride_for_width(CAIRO_FORMAT_RGB24, width);
    pixels_ = PixelMemory(static_cast<std::size_t>(stride) * height);
    surface_.reset(cairo_image_surface_create_for_data(pixels_.Data(), CAIRO_FORMAT_RGB24, width, height, stride));
    context_.reset(cairo_create(surface_.get()));
    Check("cannot make the window's image");
    const std::uint32_t pixel = PixelOf(background);
    if (pixel != 0) {
        FillAll(Rows(), pixel);
        cairo_surface_mark_dirty(surface_.get());
    }
    clearedTo_ = pixel;
    if (oldSurface) {
        cairo_set_source_surface(context_.get(), oldSurface.get(), 0, 0);
        cairo_paint(context_.get());
        Check("cannot keep the window's picture");
        cairo_surface_flush(surface_.get());
        // What was kept counts as drawn, so that the next clear covers it.
        const int keptWidth = std::min(oldWidth, width);
        for (int y = 0; y < std::min(oldHeight, height); ++y) {
            drawn_.push_back({y, 0, keptWidth});
        }
        changed_.Mark(drawn_);
    }
}

void PersistentImage::Clear(Colour background) {
    if (!surface_) {
        return;
    }
    const std::uint32_t pixel = PixelOf(background);
    cairo_surface_flush(surface_.get());
    if (clearedTo_ == pixel) {
        FillSpans(Rows(), drawn_, pixel);
    } else {
        FillAll(Rows(), pixel);
        changed_.MarkAll();
    }
    changed_.MarkCleared();
    cairo_surface_mark_dirty(surface_.get());
    clearedTo_ = pixel;
    drawn_.clear();
}

void PersistentImage::Line(float x1, float y1, float x2, float y2, Colour colour, int width) {
    if (!surface_) {
        return;
    }
    cairo_surface_flush(surface_.get());
    const std::size_t first = drawn_.size();
    PaintSegment(Rows(), x1 + kPixelCentre, y1 + kPixelCentre, x2 + kPixelCentre, y2 + kPixelCentre, width,
                 PixelOf(colour), drawn_);
    MarkDrawn(first);
}

void PersistentImage::Circle(float x, float y, float radius, Colour colour, int width) {
    if (!surface_) {
        return;
    }
    cairo_surface_flush(surface_.get());
    const double cx = x + kPixelCentre;
    const double cy = y + kPixelCentre;
    // The program draws the same circle every frame until the window changes size.
    if (circle_.x != cx || circle_.y != cy || circle_.radius != radius || circle_.strokeWidth != width ||
        circle_.imageWidth != width_ || circle_.imageHeight != height_) {
        circle_ = {cx, cy, radius, width, width_, height_, {}};
        CoverCircle(width_, height_, cx, cy, radius, width, circle_.coverage);
    }
    const std::size_t first = drawn_.size();
    PaintCoverage(Rows(), circle_.coverage, PixelOf(colour), drawn_);
    MarkDrawn(first);
}

PixelRows PersistentImage::Rows() const {
    if (!surface_) {
        return {};
    }
    return {cairo_image_surface_get_data(surface_.get()), width_, height_, Stride()};
}

// Notes the runs from firstNewSpan on as changed, and tells cairo that the
// pixels changed behind its back.
void PersistentImage::MarkDrawn(std::size_t firstNewSpan) {
    changed_.Mark(std::span(drawn_).subspan(firstNewSpan));
    cairo_surface_mark_dirty(surface_.get());
}

int PersistentImage::Stride() const { return surface_ ? cairo_image_surface_get_stride(surface_.get()) : 0; }

const std::uint8_t* PersistentImage::Pixels() const {
    if (!surface_) {
        return nullptr;
    }
    cairo_surface_flush(surface_.get());
    return cairo_image_surface_get_data(surface_.get());
}

std::uint32_t PersistentImage::PixelAt(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        throw std::out_of_range("pixel outside the image");
    }
    const auto* row = Pixels() + static_cast<std::ptrdiff_t>(y) * Stride();
    return reinterpret_cast<const std::uint32_t*>(row)[x] & 0x00FFFFFFU;
}

std::string PersistentImage::EncodePng() const {
    if (!surface_) {
        throw RunTimeError("cannot encode the picture", "the image is empty");
    }
    std::string bytes;
    const auto append = [](void* closure, const unsigned char* data, unsigned int length) {
        static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
        return CAIRO_STATUS_SUCCESS;
    };
    const cairo_status_t status = cairo_surface_write_to_png_stream(surface_.get(), append, &bytes);
    if (status != CAIRO_STATUS_SUCCESS) {
        throw RunTimeError("cannot encode the picture", cairo_status_to_string(status));
    }
    return bytes;
}

void PersistentImage::Check(const char* what) const {
    const cairo_status_t status = context_ ? cairo_status(context_.get()) : cairo_surface_status(surface_.get());
    if (status != CAIRO_STATUS_SUCCESS) {
        throw RunTimeError(what, cairo_status_to_string(status));
    }
}

}  // namespace platform
