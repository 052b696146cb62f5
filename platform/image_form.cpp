#include "platform/image_form.h"

#include "platform/run_time_error.h"

namespace platform {
namespace {

// The program's colours are 0x00BBGGRR; the image's pixels are 0x00RRGGBB.
std::uint32_t PixelOf(Colour colour) {
    return ((colour & 0xFFU) << 16) | (colour & 0xFF00U) | ((colour >> 16) & 0xFFU);
}

}  // namespace

void ImageForm::Cls() { image_.Clear(PixelOf(properties_.BackColor())); }

void ImageForm::Line(float x1, float y1, float x2, float y2) {
    image_.Line(x1, y1, x2, y2, PixelOf(properties_.ForeColor()), properties_.DrawWidth());
}

void ImageForm::Circle(float x, float y, float radius) {
    image_.Circle(x, y, radius, PixelOf(properties_.ForeColor()), properties_.DrawWidth());
}

void ImageForm::ResizeImage(int width, int height) { image_.Resize(width, height, PixelOf(properties_.BackColor())); }

FormEvents& ImageForm::Events() const {
    if (events_ == nullptr) {
        throw RunTimeError("cannot deliver a window event", "the form has no event handlers attached");
    }
    return *events_;
}

}  // namespace platform
