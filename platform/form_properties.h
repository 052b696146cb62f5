#pragma once

#include <string>
#include <string_view>

#include "platform/form.h"

namespace platform {

inline constexpr int kTwipsPerPixel = 15;  // 1440 twips an inch at 96 pixels an inch

[[nodiscard]] constexpr int TwipsToPixels(int twips) { return twips / kTwipsPerPixel; }

// The property values every form keeps, checked as they are set: a value the
// form cannot honour is a run-time error, not a silent substitute.
class FormProperties {
public:
    explicit FormProperties(const FormDesign& design) : caption_(design.Caption) {}

    void AutoRedraw(bool enabled) { autoRedraw_ = enabled; }
    void ScaleMode(int mode);
    void ForeColor(Colour colour);
    void BackColor(Colour colour);
    void DrawWidth(int pixels);
    void WindowState(int state);
    // True when the text differs from the title the window shows.
    bool Caption(std::string_view text);

    [[nodiscard]] bool AutoRedraw() const { return autoRedraw_; }
    [[nodiscard]] int ScaleMode() const { return scaleMode_; }
    [[nodiscard]] Colour ForeColor() const { return foreColor_; }
    [[nodiscard]] Colour BackColor() const { return backColor_; }
    [[nodiscard]] int DrawWidth() const { return drawWidth_; }
    [[nodiscard]] int WindowState() const { return windowState_; }
    [[nodiscard]] const std::string& Caption() const { return caption_; }

private:
    bool autoRedraw_ = false;
    int scaleMode_ = kScaleModePixels;
    Colour foreColor_ = 0;
    Colour backColor_ = 0xFFFFFF;
    int drawWidth_ = 1;
    int windowState_ = kWindowStateNormal;
    std::string caption_;
};

}  // namespace platform
