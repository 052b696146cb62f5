#pragma once

// The form without a window: the same image and drawing, with its size and
// events given by a script, for the tests and the snapshot tool.

#include <cstdint>
#include <functional>
#include <map>
#include <string_view>
#include <vector>

#include "platform/image_form.h"

namespace platform {

// A window event that a script hands to an offscreen form.
struct ScriptedEvent {
    enum class Kind { Click, Close, Resize };
    Kind kind = Kind::Click;
    // For Resize: the new client area; 0 x 0 stands for a minimised window.
    int width = 0;
    int height = 0;
};

// A form with the same persistent image and drawing as the real window, but
// no window: its client area is a size given to it, and its events come from
// a script keyed by the number of the DoEvents call that delivers them.
class OffscreenForm final : public ImageForm {
public:
    OffscreenForm(const FormDesign& design, int width, int height);

    // Delivers the event inside the given DoEvents call, 1 being the first.
    void At(std::uint64_t doEventsCall, ScriptedEvent event);
    // Called with every title the program sets, changed or not.
    void OnCaption(std::function<void(std::string_view)> observer) { captionObserver_ = std::move(observer); }

    [[nodiscard]] bool Visible() const { return visible_; }
    [[nodiscard]] std::uint64_t DoEventsCalls() const { return doEventsCalls_; }

    void Show() override { visible_ = true; }
    void WindowState(int state) override { MutableProperties().WindowState(state); }
    [[nodiscard]] float ScaleWidth() const override { return static_cast<float>(Image().Width()); }
    [[nodiscard]] float ScaleHeight() const override { return static_cast<float>(Image().Height()); }
    void Caption(std::string_view text) override;
    void DoEvents() override;
    void WaitEvents() override;

private:
    void Deliver(const ScriptedEvent& event);

    bool visible_ = false;
    std::uint64_t doEventsCalls_ = 0;
    std::multimap<std::uint64_t, ScriptedEvent> script_;
    std::function<void(std::string_view)> captionObserver_;
};

}  // namespace platform
