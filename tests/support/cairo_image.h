#pragma once

#include <cairo.h>

#include <memory>

// cairo's surfaces and contexts, each let go with its owner: the tests'
// reference pictures and the benchmarks' straightforward contender.
struct CairoSurfaceDeleter {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
struct CairoContextDeleter {
    void operator()(cairo_t* context) const { cairo_destroy(context); }
};
using CairoSurface = std::unique_ptr<cairo_surface_t, CairoSurfaceDeleter>;
using CairoContext = std::unique_ptr<cairo_t, CairoContextDeleter>;

// An image surface and a context drawing on it.
struct CairoImage {
    // A new image of its own.
    CairoImage(int width, int height) : CairoImage(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height)) {}
    // An image drawing on pixels someone else keeps, in cairo's RGB24 layout.
    CairoImage(unsigned char* pixels, int width, int height, int stride)
        : CairoImage(cairo_image_surface_create_for_data(pixels, CAIRO_FORMAT_RGB24, width, height, stride)) {}

    CairoSurface surface;
    CairoContext context;

private:
    explicit CairoImage(cairo_surface_t* made) : surface(made), context(cairo_create(made)) {}
};
