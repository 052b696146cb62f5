#include "app/form1.h"

#include "drawing/pentagram.h"
#include "geometry/pentagon.h"
#include "geometry/ratio_caption.h"

namespace app {
namespace {

constexpr platform::Colour kRed = 255;
constexpr platform::Colour kBlack = 0;
constexpr int kPenWidth = 5;

}  // namespace

void Form1::Load() {
    geometry::Pentagon pentagon;
    const double Pi = geometry::ComputePi();

    form_.AutoRedraw(true);
    form_.ScaleMode(platform::kScaleModePixels);
    form_.Show();
    form_.ForeColor(kRed);
    form_.BackColor(kBlack);
    form_.DrawWidth(kPenWidth);
    form_.WindowState(platform::kWindowStateMaximised);

    int RotationAngle = 0;
    for (;;) {
        form_.DoEvents();
        // A minimised window has nothing to draw on and no pentagon to
        // measure: sleep until it is back, the turn kept where it was.
        if (!HasClientArea()) {
            form_.WaitEvents();
            continue;
        }
        form_.Cls();

        const float Radius = geometry::CircumscribedRadius(form_.ScaleWidth(), form_.ScaleHeight());
        RotationAngle = geometry::NextRotationAngle(RotationAngle);
        geometry::PlaceVertices(pentagon, Pi, Radius, RotationAngle);
        const double SideLength = geometry::ChordLength(pentagon, 0, 1);
        const double DiagonalLength = geometry::ChordLength(pentagon, 0, 2);
        form_.Caption(geometry::RatioCaption(DiagonalLength / SideLength, decimalSeparator_));

        drawing::DrawPentagram(form_, pentagon);
        drawing::DrawCircumscribedCircle(form_, Radius);
    }
}

void Form1::Click() { form_.End(); }

void Form1::Unload(std::int16_t& /*Cancel*/) { form_.End(); }

bool Form1::HasClientArea() const { return form_.ScaleWidth() > 0 && form_.ScaleHeight() > 0; }

}  // namespace app
