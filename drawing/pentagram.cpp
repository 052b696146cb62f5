#include "drawing/pentagram.h"

#include <cstddef>

namespace drawing {
namespace {

// The client area is read anew for every point, so a frame follows the
// window even if it changes size while the frame is drawn.
float CentreX(const platform::Form& form) { return form.ScaleWidth() / 2; }
float CentreY(const platform::Form& form) { return form.ScaleHeight() / 2; }

}  // namespace

void DrawPentagram(platform::Form& form, const geometry::Pentagon& pentagon) {
    for (std::size_t i = 0; i < geometry::kVertexCount; ++i) {
        // Vertex 0 stops one short, so that its neighbour 4 is not joined to it.
        const std::size_t last = (i == 0) ? 3 : 4;
        for (std::size_t j = i + 2; j <= last; ++j) {
            form.Line(static_cast<float>(CentreX(form) + pentagon.VertexX.at(i)),
                      static_cast<float>(CentreY(form) + pentagon.VertexY.at(i)),
                      static_cast<float>(CentreX(form) + pentagon.VertexX.at(j)),
                      static_cast<float>(CentreY(form) + pentagon.VertexY.at(j)));
        }
    }
}

void DrawCircumscribedCircle(platform::Form& form, float Radius) { form.Circle(CentreX(form), CentreY(form), Radius); }

}  // namespace drawing
