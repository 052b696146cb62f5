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

    void Listen(platform::NativeWindowEvents& events, int wakeDescriptor) override {
        window_->Listen(events, wakeDescriptor);
    }
    [[nodiscard]] double DotsPerInch() const override { return window_->DotsPerInch(); }
    void SizeNormally(platform::PixelSize size) override { window_->SizeNormally(size); }
    void SetTitle(const std::string& title) override { window_->SetTitle(title); }
    void Show(int windowState) override { window_->Show(windowState); }
    [[nodiscard]] bool Visible() const override { return window_->Visible(); }
    [[nodiscard]] platform::PixelSize ClientSize() const override { return window_->ClientSize(); }
    [[nodiscard]] platform::ImageFormat Format() const override { return window_->Format(); }
    [[nodiscard]] bool ReadyForPicture() override { return window_->ReadyForPicture(); }
    // Memory that holds nothing yet, as far as the form knows: it sends all of it.
    [[nodiscard]] platform::WindowPixels Pixels(const platform::PixelRows& image) override {
        platform::WindowPixels pixels = window_->Pixels(image);
        pixels.fresh = true;
        return pixels;
    }
    void Send(const std::vector<platform::PixelRect>& rects) override { window_->Send(rects); }
    void GiveTurn() override { window_->GiveTurn(); }
    void Dispatch() override { window_->Dispatch(); }
    void Wait(Clock::duration longest) override { window_->Wait(longest); }

private:
    std::unique_ptr<platform::NativeWindow> window_;
};
