#pragma once

#include <cairo.h>

// The frame the straightforward way, for the benchmarks to hold the program
// against: five diagonals and the circle stroked with cairo, antialiased,
// round caps, 5 px, red, turned `frame` degrees, over an image cleared to
// black. Returns the ratio of a diagonal to a side, for the title.
double StrokePlainFrame(cairo_t* context, double width, double height, long frame);
