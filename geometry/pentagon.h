#pragma once

#include <array>
#include <cstddef>

namespace geometry {

inline constexpr std::size_t kVertexCount = 5;

// The vertices of the regular pentagon, as offsets in pixels from the centre
// of the client area (y grows downward).
struct Pentagon {
    std::array<double, kVertexCount> VertexX{};
    std::array<double, kVertexCount> VertexY{};
};

// Pi as the arctangent of one, times four.
[[nodiscard]] double ComputePi();

// Half the smaller side of the client area; the width wins a tie.
[[nodiscard]] float CircumscribedRadius(float ScaleWidth, float ScaleHeight);

// One degree further, wrapping from 359 to 0.
[[nodiscard]] int NextRotationAngle(int RotationAngle);

// Places vertex i at RotationAngle + 72 i degrees, Radius from the centre.
void PlaceVertices(Pentagon& pentagon, double Pi, float Radius, int RotationAngle);

// The length of the chord between two vertices; throws std::out_of_range for
// an index outside 0 to 4.
[[nodiscard]] double ChordLength(const Pentagon& pentagon, std::size_t from, std::size_t to);

}  // namespace geometry
