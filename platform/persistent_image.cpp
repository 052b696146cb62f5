#include "platform/persistent_image.h"

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
    auto old_surface = std::move(surface_);
    context_.reset();
    width_ = width;
    height_ = height;
    changed_.Reset(width, height);
    drawn_.clear();
    if (width == 0 || height == 0) {
        return;
    }
    surface_.reset(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height));
    context_.reset(cairo_create(surface_.get()));
    Check("cannot make the window's image");
    clearedTo_.reset();
    Clear(background);
    if (old_surface) {
        cairo_set_source_surface(context_.get(), old_surface.get(), 0, 0);
        cairo_paint(context_.get());
        Check("cannot keep the window's picture");
        // The old picture is anywhere now: the next clear must be whole.
        clearedTo_.reset();
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
        MarkDrawn(0);
    } else {
        FillAll(Rows(), pixel);
        changed_.MarkAll();
        MarkDrawn(drawn_.size());
    }
    clearedTo_ = pixel;
    drawn_.clear();
}

void PersistentImage::Line(float x1, float y1, float x2, float y2, Colour colour, int width) {
    if (!surface_) {
        return;
    }
    cairo_surface_flush(surface_.get());
    lineCoverage_.Clear();
    CoverSegment(width_, height_, x1 + kPixelCentre, y1 + kPixelCentre, x2 + kPixelCentre, y2 + kPixelCentre, width,
                 lineCoverage_);
    const std::size_t first = drawn_.size();
    PaintCoverage(Rows(), lineCoverage_, PixelOf(colour), drawn_);
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
    return {cairo_image_surface_get_data(surface_.get()), width_, height_, Stride()};
}

// Notes the runs from firstNewSpan on as changed, and tells cairo that the
// pixels changed behind its back.
void PersistentImage::MarkDrawn(std::size_t firstNewSpan) {
    for (std::size_t i = firstNewSpan; i < drawn_.size(); ++i) {
        changed_.Mark(drawn_[i]);
    }
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
