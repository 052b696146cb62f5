#include "platform/form/form_properties.h"

#include <cmath>

#include "platform/run_time_error.h"

namespace platform {
namespace {

constexpr Colour kLargestColour = 0xFFFFFF;
constexpr int kWidestPen = 32767;

}  // namespace

int TwipsToPixels(int twips, double dotsPerInch) {
    return static_cast<int>(std::lround(twips * dotsPerInch / kTwipsPerInch));
}

void FormProperties::AutoRedraw(bool enabled) {
    if (!enabled) {
        throw RunTimeError("cannot set AutoRedraw to False", "every form keeps its drawing in a persistent image");
    }
}

void FormProperties::ScaleMode(int mode) {
    // Only pixels: the program measures everything in them.
    if (mode != kScaleModePixels) {
        throw RunTimeError("cannot set ScaleMode to " + std::to_string(mode), "only pixels (3) are supported");
    }
    scaleMode_ = mode;
}

void FormProperties::ForeColor(Colour colour) {
    if (colour > kLargestColour) {
        throw RunTimeError("cannot set ForeColor", "not a colour value");
    }
    foreColor_ = colour;
}

void FormProperties::BackColor(Colour colour) {
    if (colour > kLargestColour) {
        throw RunTimeError("cannot set BackColor", "not a colour value");
    }
    backColor_ = colour;
}

void FormProperties::DrawWidth(int pixels) {
    if (pixels < 1 || pixels > kWidestPen) {
        throw RunTimeError("cannot set DrawWidth to " + std::to_string(pixels), "a pen is 1 to 32767 pixels wide");
    }
    drawWidth_ = pixels;
}

void FormProperties::WindowState(int state) {
    if (state != kWindowStateNormal && state != kWindowStateMinimised && state != kWindowStateMaximised) {
        throw RunTimeError("cannot set WindowState to " + std::to_string(state), "it is 0, 1 or 2");
    }
    windowState_ = state;
}

}  // namespace platform
