#pragma once

#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/window/native_window.h"

namespace testing_support {

// A native window that keeps what it is sent, and tells of what the test
// scripts for each dispatch.
class FakeWindow final : public platform::NativeWindow {
public:
    static constexpr int kWidth = 96;
    static constexpr int kHeight = 64;

    // What the window does while dispatch number n (1 the first) runs.
    std::map<int, std::function<void(FakeWindow&)>> script;
    bool visible = true;
    platform::PixelSize size{kWidth, kHeight};
    double dotsPerInch = 96;
    // The display's pace: when false, a picture sent leaves the display
    // busy until the test answers it.
    bool answersAtOnce = true;
    bool answered = true;
    // The pixels it takes, and whether it shows the image's own rows (as a
    // canvas does) rather than memory of its own.
    platform::ImageFormat format = platform::ImageFormat::Xrgb;
    bool takesImageRows = false;

    // What reached the window.
    std::vector<std::vector<platform::PixelRect>> sent;
    std::vector<std::string> titles;
    // How many pictures had been sent when each title was set.
    std::vector<std::size_t> titlesAfterPictures;
    std::vector<int> shows;
    std::optional<platform::PixelSize> normalSize;
    std::vector<Clock::duration> waits;
    int dispatches = 0;
    // The turns the window system was given, and the dispatch each came before.
    std::vector<int> turnsBefore;
    bool dispatching = false;
    std::vector<std::uint32_t> memory;  // what the window shows, once sent

    void Tell(const std::function<void(platform::NativeWindowEvents&)>& event) { event(Events()); }

    [[nodiscard]] double DotsPerInch() const override { return dotsPerInch; }
    void SizeNormally(platform::PixelSize normal) override { normalSize = normal; }
    void SetTitle(const std::string& title) override {
        titles.push_back(title);
        titlesAfterPictures.push_back(sent.size());
    }
    void Show(int windowState) override { shows.push_back(windowState); }
    [[nodiscard]] bool Visible() const override { return visible; }
    [[nodiscard]] platform::PixelSize ClientSize() const override { return size; }
    [[nodiscard]] platform::ImageFormat Format() const override { return format; }
    [[nodiscard]] bool ReadyForPicture() override { return answered; }
    void GiveTurn() override { turnsBefore.push_back(dispatches + 1); }
    [[nodiscard]] platform::WindowPixels Pixels(const platform::PixelRows& image) override {
        platform::PixelRows rows = image;
        if (!takesImageRows) {
            if (image.width != source_.width || image.height != source_.height) {
                copy_.assign(static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height), 0);
            }
            rows.data = reinterpret_cast<std::uint8_t*>(copy_.data());
        }
        const bool fresh = rows.data != source_.data || rows.width != source_.width || rows.height != source_.height;
        source_ = rows;
        return {rows, fresh};
    }
    // What the window shows is what it was sent of its memory.
    void Send(const std::vector<platform::PixelRect>& rects) override {
        sent.push_back(rects);
        answered = answersAtOnce;
        memory.resize(static_cast<std::size_t>(source_.width) * static_cast<std::size_t>(source_.height));
        for (const platform::PixelRect& rect : rects) {
            for (int y = rect.y; y < rect.y + rect.height; ++y) {
                std::memcpy(memory.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(source_.width) +
                                static_cast<std::size_t>(rect.x),
                            source_.Row(y) + rect.x, static_cast<std::size_t>(rect.width) * 4);
            }
        }
    }
    void Dispatch() override {
        dispatching = true;
        if (const auto step = script.find(++dispatches); step != script.end()) {
            step->second(*this);
        }
        dispatching = false;
    }
    void Wait(Clock::duration longest) override { waits.push_back(longest); }

private:
    std::vector<std::uint32_t> copy_;
    platform::PixelRows source_;
};

}  // namespace testing_support
