#include "bench/agg_figure.h"

#include <agg_conv_stroke.h>
#include <agg_ellipse.h>
#include <agg_path_storage.h>
#include <agg_pixfmt_rgba.h>
#include <agg_rasterizer_scanline_aa.h>
#include <agg_renderer_base.h>
#include <agg_renderer_scanline.h>
#include <agg_rendering_buffer.h>
#include <agg_scanline_u.h>

#include "bench/plain_geometry.h"

AggFigure::AggFigure(int width, int height)
    : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height * 4) {}

void AggFigure::StrokeFrame(long frame) {
    agg::rendering_buffer buffer(pixels_.data(), width_, height_, width_ * 4);
    agg::pixfmt_bgra32 format(buffer);
    agg::renderer_base<agg::pixfmt_bgra32> base(format);
    agg::renderer_scanline_aa_solid<agg::renderer_base<agg::pixfmt_bgra32>> solid(base);
    agg::rasterizer_scanline_aa<> rasterizer;
    agg::scanline_u8 scanline;
    base.clear(agg::rgba8(0, 0, 0, 255));
    const PlainGeometry figure = PlainGeometryOf(width_, height_, frame);
    solid.color(agg::rgba8(255, 0, 0, 255));
    for (const auto& [from, to] : kPlainDiagonals) {
        agg::path_storage path;
        path.move_to(figure.x[from], figure.y[from]);
        path.line_to(figure.x[to], figure.y[to]);
        agg::conv_stroke<agg::path_storage> stroke(path);
        stroke.width(5);
        stroke.line_cap(agg::round_cap);
        rasterizer.reset();
        rasterizer.add_path(stroke);
        agg::render_scanlines(rasterizer, scanline, solid);
    }
    agg::ellipse circle(figure.cx, figure.cy, figure.radius, figure.radius, 0);
    agg::conv_stroke<agg::ellipse> ring(circle);
    ring.width(5);
    rasterizer.reset();
    rasterizer.add_path(ring);
    agg::render_scanlines(rasterizer, scanline, solid);
}
