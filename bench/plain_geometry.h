#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

// The figure of a frame as a plain program works it out, for the
// benchmarks' contenders to stroke alike: the centre, the radius from the
// smaller side, and the five vertices turned `frame` degrees.
struct PlainGeometry {
    double cx = 0;
    double cy = 0;
    double radius = 0;
    std::array<double, 5> x{};
    std::array<double, 5> y{};
};

// The vertices each diagonal joins.
inline constexpr std::array<std::array<int, 2>, 5> kPlainDiagonals = {{{0, 2}, {0, 3}, {1, 3}, {1, 4}, {2, 4}}};

inline PlainGeometry PlainGeometryOf(double width, double height, long frame) {
    PlainGeometry figure{width / 2, height / 2, std::min(width, height) / 2};
    for (int i = 0; i < 5; ++i) {
        const double theta = (static_cast<double>(frame % 360) + 72.0 * i) * std::numbers::pi / 180;
        figure.x[i] = figure.cx + figure.radius * std::cos(theta);
        figure.y[i] = figure.cy + figure.radius * std::sin(theta);
    }
    return figure;
}
