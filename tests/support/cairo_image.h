#pragma once

#include <cairo.h>

#include <memory>

// A cairo image surface and a context drawing on it, each let go with its
// owner: the straightforward contender's drawing for both frame benchmarks.
struct CairoImage {
    struct SurfaceDeleter {
        void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
    };
    struct ContextDeleter {
        void operator()(cairo_t* context) const { cairo_destroy(context); }
    };

    // A new image of its own.
    CairoImage(int width, int height) : CairoImage(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height)) {}
    // An image drawing on pixels someone else keeps, in cairo's RGB24 layout.
    CairoImage(unsigned char* pixels, int width, int height, int stride)
        : CairoImage(cairo_image_surface_create_for_data(pixels, CAIRO_FORMAT_RGB24, width, height, stride)) {}

    std::unique_ptr<cairo_surface_t, SurfaceDeleter> surface;
    std::unique_ptr<cairo_t, ContextDeleter> context;

private:
    explicit CairoImage(cairo_surface_t* made) : surface(made), context(cairo_create(made)) {}
};
