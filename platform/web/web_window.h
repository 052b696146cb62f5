#pragma once

// The program's window in a browser tab: a canvas that fills the page's
// viewport, which is what a maximised window is there. Its pixels are the
// canvas's device pixels (the CSS size times the device pixel ratio), so
// that the figure is sharp at every zoom and on every screen.

#include <vector>

#include "platform/window/native_window.h"

namespace platform::web {

// The browser runs the page on the program's own thread: the window gives
// it a turn when the form asks (its events, its animation frames, its
// painting) and rests in it. The pace is the animation frame: a picture,
// put on the canvas straight from the image's own rows, is shown once the
// frame after it has come.
class WebWindow final : public NativeWindow {
public:
    // Throws a run-time error where the browser gives the canvas no 2D context.
    WebWindow();
    // The canvas goes, and the page's title comes back.
    ~WebWindow() override;
    WebWindow(const WebWindow&) = delete;
    WebWindow& operator=(const WebWindow&) = delete;

    // A CSS inch is 96 CSS pixels, each as many device pixels as the ratio says.
    [[nodiscard]] double DotsPerInch() const override;
    // A tab has one size, its viewport's.
    void SizeNormally(PixelSize /*size*/) override {}
    void SetTitle(const std::string& title) override;
    void Show(int windowState) override;
    [[nodiscard]] bool Visible() const override;
    [[nodiscard]] PixelSize ClientSize() const override;
    [[nodiscard]] ImageFormat Format() const override { return ImageFormat::OpaqueRgba; }
    [[nodiscard]] bool ReadyForPicture() override;
    // The image's own rows: the canvas copies what it is put at once.
    [[nodiscard]] WindowPixels Pixels(const PixelRows& image) override;
    // Puts the rectangles' bounds on the canvas in one go.
    void Send(const std::vector<PixelRect>& rects) override;
    void GiveTurn() override;
    void Dispatch() override;
    void Wait(Clock::duration longest) override;

private:
    // The rows the canvas was last given.
    PixelRows rows_;
};

}  // namespace platform::web
