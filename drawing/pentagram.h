#pragma once

#include "geometry/pentagon.h"
#include "platform/form.h"

namespace drawing {

// The five diagonals of the pentagon, which make the pentagram, in the order
// 0-2, 0-3, 1-3, 1-4, 2-4, centred in the client area.
void DrawPentagram(platform::Form& form, const geometry::Pentagon& pentagon);

// The circle through the five vertices, centred in the client area.
void DrawCircumscribedCircle(platform::Form& form, float Radius);

}  // namespace drawing
