#include "platform/form/image_form.h"

#include "platform/run_time_error.h"

namespace platform {

// The program's colours are 0x00BBGGRR, red in the low byte: in memory, the
// bytes of an RGBA pixel.
PixelColour ImageForm::PixelOf(Colour colour) const {
    if (image_.Format() == ImageFormat::OpaqueRgba) {
        return PixelColour{(colour & 0x00FFFFFFU) | 0xFF000000U};
    }
    return {static_cast<std::uint8_t>(colour & 0xFFU), static_cast<std::uint8_t>((colour >> 8) & 0xFFU),
            static_cast<std::uint8_t>((colour >> 16) & 0xFFU)};
}

void ImageForm::Cls() {
    image_.Clear(PixelOf(properties_.BackColor()));
    drawn_ = true;
}

void ImageForm::Line(float x1, float y1, float x2, float y2) {
    image_.Line(x1, y1, x2, y2, PixelOf(properties_.ForeColor()), properties_.DrawWidth());
    drawn_ = true;
}

void ImageForm::Circle(float x, float y, float radius) {
    image_.Circle(x, y, radius, PixelOf(properties_.ForeColor()), properties_.DrawWidth());
    drawn_ = true;
}

void ImageForm::ResizeImage(int width, int height) { image_.Resize(width, height, PixelOf(properties_.BackColor())); }

FormEvents& ImageForm::Events() const {
    if (events_ == nullptr) {
        throw RunTimeError("cannot deliver a window event", "the form has no event handlers attached");
    }
    return *events_;
}

}  // namespace platform
