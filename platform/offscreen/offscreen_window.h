#pragma once

// The native window of a form without a window: no pixels to show, a
// client area of a given size, and events from a script, for the tests and
// the snapshot tool.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/form/form_properties.h"
#include "platform/window/native_window.h"

namespace platform {

// A window event that a script hands to an offscreen form.
struct ScriptedEvent {
    enum class Kind { Click, Close, Resize };
    Kind kind = Kind::Click;
    // For Resize: the new client area; 0 x 0 stands for a minimised window.
    int width = 0;
    int height = 0;
};

// Its events are keyed by the number of the dispatch that tells of them,
// one a DoEvents; waiting for events skips to the next one scripted.
class OffscreenWindow final : public NativeWindow {
public:
    OffscreenWindow(int width, int height) : size_{width, height} {}

    // Tells of the event in the given dispatch, 1 being the first.
    void At(std::uint64_t dispatch, ScriptedEvent event) { script_.emplace(dispatch, event); }

    [[nodiscard]] bool Shown() const { return shown_; }

    // As many pixels to the inch as a standard desktop has.
    [[nodiscard]] double DotsPerInch() const override { return kStandardDotsPerInch; }
    void SizeNormally(PixelSize /*size*/) override {}
    void SetTitle(const std::string& /*title*/) override {}
    void Show(int /*windowState*/) override { shown_ = true; }
    [[nodiscard]] bool Visible() const override { return shown_; }
    [[nodiscard]] PixelSize ClientSize() const override { return size_; }
    // Nothing to show the pixels on: the form copies none, at any pace.
    [[nodiscard]] bool ReadyForPicture() override { return true; }
    [[nodiscard]] WindowPixels Pixels(const PixelRows& /*image*/) override { return {}; }
    void Send(const std::vector<PixelRect>& /*rects*/) override {}
    void Dispatch() override;
    // Throws a run-time error when the script holds no more events.
    void Wait(Clock::duration longest) override;

private:
    bool shown_ = false;
    PixelSize size_;
    std::uint64_t dispatches_ = 0;
    std::multimap<std::uint64_t, ScriptedEvent> script_;
};

}  // namespace platform
