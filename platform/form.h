#pragma once

// The window services: what the program's logic sees of its window. This
// folder's top holds them and the run-time error; the rooms below are the
// form (form/), the window form every desktop shares (window/), one native
// window per desktop (x11/, wayland/, win32/, offscreen/), the image
// (image/), the strokes (raster/), and the process entry with the
// operating system's services (process/).

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// Colour values are 0x00BBGGRR: red in the low byte.
using Colour = std::uint32_t;

inline constexpr int kScaleModePixels = 3;
inline constexpr int kWindowStateNormal = 0;
inline constexpr int kWindowStateMinimised = 1;
inline constexpr int kWindowStateMaximised = 2;

// What a form is before its Load handler runs: its title and the size of its
// client area in the normal (not maximised) state, in twips.
struct FormDesign {
    std::string Caption;
    int ClientWidthTwips = 0;
    int ClientHeightTwips = 0;
};

// The window services a form's logic may use: its properties, its drawing
// methods on the persistent image, and the runtime's DoEvents and End.
// Every operation either succeeds or throws RunTimeError; none fails quietly.
class Form {
public:
    virtual ~Form() = default;

    virtual void AutoRedraw(bool enabled) = 0;
    virtual void ScaleMode(int mode) = 0;
    virtual void Show() = 0;
    virtual void ForeColor(Colour colour) = 0;
    virtual void BackColor(Colour colour) = 0;
    virtual void DrawWidth(int pixels) = 0;
    virtual void WindowState(int state) = 0;

    // Client-area size in pixels; zero while the window has no client area
    // to show, as when it is minimised.
    [[nodiscard]] virtual float ScaleWidth() const = 0;
    [[nodiscard]] virtual float ScaleHeight() const = 0;

    virtual void Caption(std::string_view text) = 0;

    virtual void Cls() = 0;
    virtual void Line(float x1, float y1, float x2, float y2) = 0;
    virtual void Circle(float x, float y, float radius) = 0;

    // Shows the persistent image and handles every pending window event;
    // event handlers run inside this call.
    virtual void DoEvents() = 0;
    // Like DoEvents, but first sleeps until at least one window event is
    // pending, so that a form with nothing to show costs no CPU.
    virtual void WaitEvents() = 0;
    // Ends the program at once: the caller never resumes.
    [[noreturn]] virtual void End() = 0;
};

// The events a form's logic handles. The runtime raises Load once, when the
// form is created and before it is visible; Click and Unload are raised
// inside DoEvents.
class FormEvents {
public:
    virtual ~FormEvents() = default;

    virtual void Load() = 0;
    virtual void Click() = 0;
    // Leaving Cancel at zero lets the window close.
    virtual void Unload(std::int16_t& Cancel) = 0;
};

}  // namespace platform
