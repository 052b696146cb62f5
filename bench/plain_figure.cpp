#include "bench/plain_figure.h"

#include <cmath>
#include <numbers>

#include "bench/plain_geometry.h"

double StrokePlainFrame(cairo_t* context, double width, double height, long frame) {
    const PlainGeometry figure = PlainGeometryOf(width, height, frame);
    cairo_set_line_cap(context, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(context, 5);
    cairo_set_source_rgb(context, 0, 0, 0);
    cairo_paint(context);
    cairo_set_source_rgb(context, 1, 0, 0);
    for (const auto& [from, to] : kPlainDiagonals) {
        cairo_move_to(context, figure.x[from], figure.y[from]);
        cairo_line_to(context, figure.x[to], figure.y[to]);
        cairo_stroke(context);
    }
    cairo_new_sub_path(context);
    cairo_arc(context, figure.cx, figure.cy, figure.radius, 0, 2 * std::numbers::pi);
    cairo_stroke(context);
    return std::hypot(figure.x[0] - figure.x[2], figure.y[0] - figure.y[2]) /
           std::hypot(figure.x[0] - figure.x[1], figure.y[0] - figure.y[1]);
}
