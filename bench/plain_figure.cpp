#include "bench/plain_figure.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

double StrokePlainFrame(cairo_t* context, double width, double height, long frame) {
    const double cx = width / 2;
    const double cy = height / 2;
    const double radius = std::min(width, height) / 2;
    cairo_set_line_cap(context, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(context, 5);
    cairo_set_source_rgb(context, 0, 0, 0);
    cairo_paint(context);
    std::array<double, 5> x{};
    std::array<double, 5> y{};
    for (int i = 0; i < 5; ++i) {
        const double theta = (static_cast<double>(frame % 360) + 72.0 * i) * std::numbers::pi / 180;
        x[i] = cx + radius * std::cos(theta);
        y[i] = cy + radius * std::sin(theta);
    }
    cairo_set_source_rgb(context, 1, 0, 0);
    constexpr std::array<std::array<int, 2>, 5> kDiagonals = {{{0, 2}, {0, 3}, {1, 3}, {1, 4}, {2, 4}}};
    for (const auto& [from, to] : kDiagonals) {
        cairo_move_to(context, x[from], y[from]);
        cairo_line_to(context, x[to], y[to]);
        cairo_stroke(context);
    }
    cairo_new_sub_path(context);
    cairo_arc(context, cx, cy, radius, 0, 2 * std::numbers::pi);
    cairo_stroke(context);
    return std::hypot(x[0] - x[2], y[0] - y[2]) / std::hypot(x[0] - x[1], y[0] - y[1]);
}
