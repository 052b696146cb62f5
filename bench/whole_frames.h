#pragma once

// A native window that takes every frame whole: the way to hold sending only
// the changed tiles against, for the windowed benchmarks.

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/window/native_window.h"

class WholeFrames final : public platform::NativeWindow {
public:
    explicit WholeFrames(std::unique_ptr<platform::NativeWindow> window) : window_(std::move(window)) {}

    void Listen(platform::NativeWindowEvents& events) override { window_->Listen(events); }
    // Memory that holds nothing yet, as far as the form knows: it sends all of it.
    [[nodiscard]] platform::WindowPixels Pixels(int width, int height) override {
        platform::WindowPixels pixels = window_->Pixels(width, height);
        pixels.fresh = true;
        return pixels;
    }
    [[nodiscard]] bool Send(const std::vector<platform::PixelRect>& rects) override { return window_->Send(rects); }
    void SetTitle(const std::string& title) override { window_->SetTitle(title); }
    [[nodiscard]] bool Show(int windowState) override { return window_->Show(windowState); }
    [[nodiscard]] bool Visible() const override { return window_->Visible(); }
    [[nodiscard]] platform::PixelSize ClientSize() const override { return window_->ClientSize(); }
    void Dispatch() override { window_->Dispatch(); }
    void Wait(Clock::duration longest) override { window_->Wait(longest); }
    [[nodiscard]] int RefreshRate() const override { return window_->RefreshRate(); }

private:
    std::unique_ptr<platform::NativeWindow> window_;
};
