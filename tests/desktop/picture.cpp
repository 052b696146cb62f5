#include "tests/desktop/picture.h"

#include <cairo.h>

#include <cstring>

#include "tests/support/cairo_image.h"

namespace desktop {

void Picture::WritePng(const std::string& path) const {
    const CairoSurface surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height));
    cairo_surface_flush(surface.get());
    auto* data = cairo_image_surface_get_data(surface.get());
    const int stride = cairo_image_surface_get_stride(surface.get());
    for (int y = 0; y < height; ++y) {
        std::memcpy(data + static_cast<std::ptrdiff_t>(y) * stride, &pixels[static_cast<std::size_t>(y) * width],
                    static_cast<std::size_t>(width) * 4);
    }
    cairo_surface_mark_dirty(surface.get());
    cairo_surface_write_to_png(surface.get(), path.c_str());
}

Picture Picture::FromPng(const std::string& bytes) {
    struct Reader {
        const std::string* bytes;
        std::size_t at = 0;
    } reader{&bytes};
    const auto read = [](void* closure, unsigned char* data, unsigned int length) {
        auto& from = *static_cast<Reader*>(closure);
        if (from.at + length > from.bytes->size()) {
            return CAIRO_STATUS_READ_ERROR;
        }
        std::memcpy(data, from.bytes->data() + from.at, length);
        from.at += length;
        return CAIRO_STATUS_SUCCESS;
    };
    const CairoSurface surface(cairo_image_surface_create_from_png_stream(read, &reader));
    Picture picture;
    if (cairo_surface_status(surface.get()) == CAIRO_STATUS_SUCCESS) {
        picture.width = cairo_image_surface_get_width(surface.get());
        picture.height = cairo_image_surface_get_height(surface.get());
        const auto* data = cairo_image_surface_get_data(surface.get());
        const int stride = cairo_image_surface_get_stride(surface.get());
        picture.pixels.resize(static_cast<std::size_t>(picture.width) * picture.height);
        for (int y = 0; y < picture.height; ++y) {
            std::memcpy(&picture.pixels[static_cast<std::size_t>(y) * picture.width],
                        data + static_cast<std::ptrdiff_t>(y) * stride, static_cast<std::size_t>(picture.width) * 4);
        }
        for (auto& pixel : picture.pixels) {
            pixel &= 0xFFFFFFU;
        }
    }
    return picture;
}

}  // namespace desktop
