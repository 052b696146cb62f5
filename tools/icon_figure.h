#pragma once

#include "platform/image/persistent_image.h"
#include "platform/offscreen/offscreen_form.h"

namespace tools {

// The pen the icon is drawn with at a side: the window's 5 pixels from 80
// on, and as much less below as keeps the star and the circle apart (one
// pixel at 16); at 16 and 24 the window's own pen makes a red blob.
[[nodiscard]] int IconPen(int side);

// The program's own figure as its icon shows it, at `side` pixels square:
// the frame the README's picture shows (54), drawn by Form1 on an offscreen
// form, with the pen for the side.
class IconFigure {
public:
    explicit IconFigure(int side);

    [[nodiscard]] const platform::PersistentImage& Image() const { return form_.Image(); }

private:
    platform::OffscreenForm form_;
};

}  // namespace tools
