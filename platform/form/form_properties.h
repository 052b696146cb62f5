#pragma once

#include <string>
#include <string_view>

#include "platform/form.h"

namespace platform {

inline constexpr int kTwipsPerInch = 1440;
// What desktops draw at unless the user scales them.
inline constexpr double kStandardDotsPerInch = 96;

// A length in twips as whole pixels on a screen of this many dots per inch,
// rounded to the nearest: 4680 twips are 312 pixels at 96 and 624 at 192.
[[nodiscard]] int TwipsToPixels(int twips, double dotsPerInch = kStandardDotsPerInch);

// The property values every form keeps, checked as they are set: a value the
// form cannot honour is a run-time error, not a silent substitute.
class FormProperties {
public:
    explicit FormProperties(const FormDesign& design) : caption_(design.Caption) {}

    // Only True: every form keeps its drawing in a persistent image.
    static void AutoRedraw(bool enabled);
    void ScaleMode(int mode);
    void ForeColor(Colour colour);
    void BackColor(Colour colour);
    void DrawWidth(int pixels);
    void WindowState(int state);
    void Caption(std::string_view text) { caption_ = text; }

    [[nodiscard]] int ScaleMode() const { return scaleMode_; }
    [[nodiscard]] Colour ForeColor() const { return foreColor_; }
    [[nodiscard]] Colour BackColor() const { return backColor_; }
    [[nodiscard]] int DrawWidth() const { return drawWidth_; }
    [[nodiscard]] int WindowState() const { return windowState_; }
    [[nodiscard]] const std::string& Caption() const { return caption_; }

private:
    int scaleMode_ = kScaleModePixels;
    Colour foreColor_ = 0;
    Colour backColor_ = 0xFFFFFF;
    int drawWidth_ = 1;
    int windowState_ = kWindowStateNormal;
    std::string caption_;
};

}  // namespace platform
