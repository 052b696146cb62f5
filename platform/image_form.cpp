#include "platform/image_form.h"

#include "platform/run_time_error.h"

namespace platform {

void ImageForm::Line(float x1, float y1, float x2, float y2) {
    image_.Line(x1, y1, x2, y2, properties_.ForeColor(), properties_.DrawWidth());
}

void ImageForm::Circle(float x, float y, float radius) {
    image_.Circle(x, y, radius, properties_.ForeColor(), properties_.DrawWidth());
}

FormEvents& ImageForm::Events() const {
    if (events_ == nullptr) {
        throw RunTimeError("cannot deliver a window event", "the form has no event handlers attached");
    }
    return *events_;
}

}  // namespace platform
