#include "geometry/pentagon.h"

#include <cmath>

namespace geometry {

double ComputePi() { return std::atan(1.0) * 4; }

float CircumscribedRadius(float ScaleWidth, float ScaleHeight) {
    float Radius = ScaleWidth;
    if (ScaleHeight < Radius) {
        Radius = ScaleHeight;
    }
    Radius = Radius / 2;
    return Radius;
}

int NextRotationAngle(int RotationAngle) { return (RotationAngle + 1) % 360; }

void PlaceVertices(Pentagon& pentagon, double Pi, float Radius, int RotationAngle) {
    // The step is 360.0 / 5.0 in double, exactly as the turn is in degrees.
    constexpr double kVertexStep = 360.0 / static_cast<double>(kVertexCount);
    double VertexAngle = RotationAngle;
    for (std::size_t i = 0; i < kVertexCount; ++i) {
        const double theta = (VertexAngle * Pi) / 180;
        pentagon.VertexX.at(i) = static_cast<double>(Radius) * std::cos(theta);
        pentagon.VertexY.at(i) = static_cast<double>(Radius) * std::sin(theta);
        VertexAngle = VertexAngle + kVertexStep;
    }
}

double ChordLength(const Pentagon& pentagon, std::size_t from, std::size_t to) {
    const double dx = pentagon.VertexX.at(from) - pentagon.VertexX.at(to);
    const double dy = pentagon.VertexY.at(from) - pentagon.VertexY.at(to);
    return std::sqrt(dx * dx + dy * dy);
}

}  // namespace geometry
