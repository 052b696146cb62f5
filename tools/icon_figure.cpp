#include "tools/icon_figure.h"

#include <algorithm>
#include <stdexcept>

#include "app/form1.h"
#include "platform/form/form_forwarder.h"

namespace tools {
namespace {

constexpr std::uint64_t kFrame = 54;
constexpr int kWindowPen = 5;
constexpr int kSidePerPenPixel = 16;

// Form1 on the offscreen form, drawing with the pen for the icon's side.
class IconPenForm final : public platform::FormForwarder {
public:
    IconPenForm(platform::RuntimeForm& form, int pen) : FormForwarder(form), pen_(pen) {}
    void DrawWidth(int /*pixels*/) override { Forwarded().DrawWidth(pen_); }

private:
    int pen_;
};

}  // namespace

int IconPen(int side) { return std::clamp((side + kSidePerPenPixel / 2) / kSidePerPenPixel, 1, kWindowPen); }

IconFigure::IconFigure(int side) : form_(app::Form1::Design(), side, side) {
    IconPenForm pen(form_, IconPen(side));
    app::Form1 form1(pen, ".");
    form_.At(kFrame + 1, {platform::ScriptedEvent::Kind::Close});
    if (const auto error = platform::RunForm(pen, form1)) {
        throw std::runtime_error(*error);
    }
}

}  // namespace tools
