#pragma once

// The form without a window: the window form over an offscreen native
// window, with its size and events given by a script, for the tests and
// the snapshot tool.

#include <cstdint>
#include <functional>
#include <string_view>

#include "platform/offscreen/offscreen_window.h"
#include "platform/window/window_form.h"

namespace platform {

// The same persistent image, drawing and window policy as the real window,
// but no window: its client area is a size given to it, and its events come
// from a script keyed by the number of the DoEvents call that delivers them.
class OffscreenForm final : public WindowForm {
public:
    OffscreenForm(const FormDesign& design, int width, int height);

    // Delivers the event inside the given DoEvents call, 1 being the first.
    void At(std::uint64_t doEventsCall, ScriptedEvent event) { Offscreen().At(doEventsCall, event); }
    // Called with every title the program sets, changed or not.
    void OnCaption(std::function<void(std::string_view)> observer) { captionObserver_ = std::move(observer); }

    // Show has reached the window.
    [[nodiscard]] bool Shown() const { return Offscreen().Shown(); }

    void Caption(std::string_view text) override;

private:
    [[nodiscard]] OffscreenWindow& Offscreen() const { return static_cast<OffscreenWindow&>(Window()); }

    std::function<void(std::string_view)> captionObserver_;
};

}  // namespace platform
