#include "platform/stroke_raster.h"

#include <algorithm>
#include <cmath>

namespace platform {
namespace {

// Beyond the stroke's half width, coverage fades out over half a pixel on
// either side of the edge.
constexpr double kFeather = 0.5;

std::uint32_t* Row(const PixelRows& rows, int y) {
    return reinterpret_cast<std::uint32_t*>(rows.data + static_cast<std::ptrdiff_t>(y) * rows.stride);
}

// Source over destination, one channel at a time, for a coverage in [0, 1].
std::uint32_t Over(std::uint32_t destination, std::uint32_t source, double coverage) {
    const auto alpha = static_cast<std::uint32_t>(coverage * 256.0 + 0.5);
    const std::uint32_t keep = 256 - alpha;
    std::uint32_t result = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const std::uint32_t d = (destination >> shift) & 0xFFU;
        const std::uint32_t s = (source >> shift) & 0xFFU;
        result |= ((d * keep + s * alpha) >> 8) << shift;
    }
    return result;
}

double Coverage(double distance, double halfWidth) {
    return std::clamp(halfWidth + kFeather - distance, 0.0, 1.0);
}

// Pixel columns whose centres lie in [left, right], clipped to the image.
std::pair<int, int> Columns(const PixelRows& rows, double left, double right) {
    const int x0 = std::max(0, static_cast<int>(std::ceil(left - 0.5)));
    const int x1 = std::min(rows.width, static_cast<int>(std::floor(right - 0.5)) + 1);
    return {x0, x1};
}

template <typename DistanceAt>
void PaintRun(const PixelRows& rows, int y, double left, double right, double halfWidth, std::uint32_t rgb,
              std::vector<Span>& touched, DistanceAt distanceAt) {
    const auto [x0, x1] = Columns(rows, left, right);
    if (x0 >= x1) {
        return;
    }
    std::uint32_t* row = Row(rows, y);
    const double py = y + 0.5;
    for (int x = x0; x < x1; ++x) {
        const double coverage = Coverage(distanceAt(x + 0.5, py), halfWidth);
        if (coverage > 0) {
            row[x] = coverage >= 1 ? rgb : Over(row[x], rgb, coverage);
        }
    }
    touched.push_back({y, x0, x1});
}

}  // namespace

void StrokeSegment(const PixelRows& rows, double x1, double y1, double x2, double y2, double width,
                   std::uint32_t rgb, std::vector<Span>& touched) {
    const double halfWidth = width / 2;
    const double reach = halfWidth + kFeather;
    const double dx = x2 - x1;
    const double dy = y2 - y1;
    const double lengthSquared = dx * dx + dy * dy;
    const auto distanceAt = [&](double px, double py) {
        double t = lengthSquared > 0 ? ((px - x1) * dx + (py - y1) * dy) / lengthSquared : 0;
        t = std::clamp(t, 0.0, 1.0);
        const double ox = px - (x1 + t * dx);
        const double oy = py - (y1 + t * dy);
        return std::sqrt(ox * ox + oy * oy);
    };
    const int top = std::max(0, static_cast<int>(std::floor(std::min(y1, y2) - reach)));
    const int bottom = std::min(rows.height - 1, static_cast<int>(std::ceil(std::max(y1, y2) + reach)));
    for (int y = top; y <= bottom; ++y) {
        // The row's pixel centres within reach of the segment form one run
        // (the stroke is convex): the union of the two end discs and the band
        // between them.
        const double py = y + 0.5;
        double left = INFINITY;
        double right = -INFINITY;
        for (const auto& [ex, ey] : {std::pair{x1, y1}, std::pair{x2, y2}}) {
            const double rise = py - ey;
            if (std::abs(rise) <= reach) {
                const double half = std::sqrt(reach * reach - rise * rise);
                left = std::min(left, ex - half);
                right = std::max(right, ex + half);
            }
        }
        if (std::abs(dy) > 1e-12) {
            // Where the row crosses the band: the centre line's crossing,
            // widened by the band's horizontal half width, and kept between
            // the two ends' perpendiculars.
            const double length = std::sqrt(lengthSquared);
            const double crossing = x1 + (py - y1) * dx / dy;
            const double halfRun = reach * length / std::abs(dy);
            double bandLeft = crossing - halfRun;
            double bandRight = crossing + halfRun;
            if (std::abs(dx) > 1e-12) {
                // Perpendiculars through the ends: (p - e) . d = 0.
                const double atStart = x1 - (py - y1) * dy / dx;
                const double atEnd = x2 - (py - y2) * dy / dx;
                bandLeft = std::max(bandLeft, std::min(atStart, atEnd));
                bandRight = std::min(bandRight, std::max(atStart, atEnd));
            } else if (py < std::min(y1, y2) || py > std::max(y1, y2)) {
                bandLeft = INFINITY;
            }
            if (bandLeft <= bandRight) {
                left = std::min(left, bandLeft);
                right = std::max(right, bandRight);
            }
        } else if (std::abs(py - y1) <= reach) {
            left = std::min(left, std::min(x1, x2));
            right = std::max(right, std::max(x1, x2));
        }
        if (left <= right) {
            PaintRun(rows, y, left, right, halfWidth, rgb, touched, distanceAt);
        }
    }
}

void StrokeCircle(const PixelRows& rows, double cx, double cy, double radius, double width, std::uint32_t rgb,
                  std::vector<Span>& touched) {
    const double halfWidth = width / 2;
    const double outer = radius + halfWidth + kFeather;
    const double inner = radius - halfWidth - kFeather;
    // hypot's care for overflow is not needed at pixel scale, and it is slow.
    const auto distanceAt = [&](double px, double py) {
        const double ox = px - cx;
        const double oy = py - cy;
        return std::abs(std::sqrt(ox * ox + oy * oy) - radius);
    };
    const int top = std::max(0, static_cast<int>(std::floor(cy - outer)));
    const int bottom = std::min(rows.height - 1, static_cast<int>(std::ceil(cy + outer)));
    for (int y = top; y <= bottom; ++y) {
        const double rise = y + 0.5 - cy;
        if (std::abs(rise) > outer) {
            continue;
        }
        const double outerHalf = std::sqrt(outer * outer - rise * rise);
        if (inner > 0 && std::abs(rise) < inner) {
            // The ring crosses the row twice; the inside is left alone.
            const double innerHalf = std::sqrt(inner * inner - rise * rise);
            PaintRun(rows, y, cx - outerHalf, cx - innerHalf, halfWidth, rgb, touched, distanceAt);
            PaintRun(rows, y, cx + innerHalf, cx + outerHalf, halfWidth, rgb, touched, distanceAt);
        } else {
            PaintRun(rows, y, cx - outerHalf, cx + outerHalf, halfWidth, rgb, touched, distanceAt);
        }
    }
}

void FillSpans(const PixelRows& rows, const std::vector<Span>& spans, std::uint32_t rgb) {
    for (const Span& span : spans) {
        std::uint32_t* row = Row(rows, span.y);
        std::fill(row + span.x0, row + span.x1, rgb);
    }
}

void FillAll(const PixelRows& rows, std::uint32_t rgb) {
    for (int y = 0; y < rows.height; ++y) {
        std::uint32_t* row = Row(rows, y);
        std::fill(row, row + rows.width, rgb);
    }
}

}  // namespace platform
