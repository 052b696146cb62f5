#include "tools/png_encoding.h"

#include <cairo.h>

#include <memory>

#include "platform/run_time_error.h"

namespace tools {
namespace {

struct SurfaceDeleter {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};

}  // namespace

std::string EncodePng(const platform::PersistentImage& image) {
    if (image.Pixels() == nullptr) {
        throw platform::RunTimeError("cannot encode the picture", "the image is empty");
    }
    // The image's rows are cairo's RGB24 rows: cairo reads them where they are.
    const std::unique_ptr<cairo_surface_t, SurfaceDeleter> surface(cairo_image_surface_create_for_data(
        const_cast<unsigned char*>(image.Pixels()), CAIRO_FORMAT_RGB24, image.Width(), image.Height(), image.Stride()));
    std::string bytes;
    const auto append = [](void* closure, const unsigned char* data, unsigned int length) {
        static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
        return CAIRO_STATUS_SUCCESS;
    };
    const cairo_status_t status = cairo_surface_write_to_png_stream(surface.get(), append, &bytes);
    if (status != CAIRO_STATUS_SUCCESS) {
        throw platform::RunTimeError("cannot encode the picture", cairo_status_to_string(status));
    }
    return bytes;
}

}  // namespace tools
