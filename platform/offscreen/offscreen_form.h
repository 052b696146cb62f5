#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string_view>
#include <vector>

#include "platform/form_properties.h"
#include "platform/form_runtime.h"
#include "platform/persistent_image.h"

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
class OffscreenForm final : public RuntimeForm {
public:
    OffscreenForm(const FormDesign& design, int width, int height);

    // Delivers the event inside the given DoEvents call, 1 being the first.
    void At(std::uint64_t doEventsCall, ScriptedEvent event);
    // Called with every title the program sets, changed or not.
    void OnCaption(std::function<void(std::string_view)> observer) { captionObserver_ = std::move(observer); }

    [[nodiscard]] const PersistentImage& Image() const { return image_; }
    [[nodiscard]] const FormProperties& Properties() const { return properties_; }
    [[nodiscard]] bool Visible() const { return visible_; }
    [[nodiscard]] std::uint64_t DoEventsCalls() const { return doEventsCalls_; }

    void Attach(FormEvents& events) override { events_ = &events; }

    void AutoRedraw(bool enabled) override { properties_.AutoRedraw(enabled); }
    void ScaleMode(int mode) override { properties_.ScaleMode(mode); }
    void Show() override { visible_ = true; }
    void ForeColor(Colour colour) override { properties_.ForeColor(colour); }
    void BackColor(Colour colour) override { properties_.BackColor(colour); }
    void DrawWidth(int pixels) override { properties_.DrawWidth(pixels); }
    void WindowState(int state) override { properties_.WindowState(state); }
    [[nodiscard]] float ScaleWidth() const override { return static_cast<float>(image_.Width()); }
    [[nodiscard]] float ScaleHeight() const override { return static_cast<float>(image_.Height()); }
    void Caption(std::string_view text) override;
    void Cls() override { image_.Clear(properties_.BackColor()); }
    void Line(float x1, float y1, float x2, float y2) override;
    void Circle(float x, float y, float radius) override;
    void DoEvents() override;
    void WaitEvents() override;
    [[noreturn]] void End() override { EndProgram(); }

private:
    void Deliver(const ScriptedEvent& event);

    FormProperties properties_;
    PersistentImage image_;
    bool visible_ = false;
    FormEvents* events_ = nullptr;
    std::uint64_t doEventsCalls_ = 0;
    std::multimap<std::uint64_t, ScriptedEvent> script_;
    std::function<void(std::string_view)> captionObserver_;
};

}  // namespace platform
