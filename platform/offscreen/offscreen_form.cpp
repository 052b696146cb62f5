#include "platform/offscreen/offscreen_form.h"

#include <memory>

namespace platform {

OffscreenForm::OffscreenForm(const FormDesign& design, int width, int height)
    : WindowForm(design, std::make_unique<OffscreenWindow>(width, height)) {}

void OffscreenForm::Caption(std::string_view text) {
    WindowForm::Caption(text);
    if (captionObserver_) {
        captionObserver_(text);
    }
}

}  // namespace platform
