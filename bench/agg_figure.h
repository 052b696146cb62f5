#pragma once

#include <cstdint>
#include <vector>

// The same frame with Anti-Grain Geometry, the rasterizer many plotting
// libraries build on, as a second contender: the image cleared to black,
// five diagonals and the circle stroked antialiased, round caps, 5 px, red,
// turned `frame` degrees, into 32-bit pixels.
class AggFigure {
public:
    AggFigure(int width, int height);
    void StrokeFrame(long frame);

private:
    int width_;
    int height_;
    std::vector<std::uint8_t> pixels_;
};
