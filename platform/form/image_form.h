#pragma once

#include "platform/form/form_properties.h"
#include "platform/form/form_runtime.h"
#include "platform/image/persistent_image.h"

namespace platform {

// What every form has, on a window or offscreen: its property values, the
// persistent image that Cls, Line and Circle draw into, and the program's
// handlers to deliver events to.
class ImageForm : public RuntimeForm {
public:
    // The image's pixels are in the format given: the window's own.
    explicit ImageForm(const FormDesign& design, ImageFormat format = ImageFormat::Xrgb)
        : properties_(design), image_(format) {}

    void Attach(FormEvents& events) override { events_ = &events; }

    void AutoRedraw(bool enabled) override { FormProperties::AutoRedraw(enabled); }
    void ScaleMode(int mode) override { properties_.ScaleMode(mode); }
    void ForeColor(Colour colour) override { properties_.ForeColor(colour); }
    void BackColor(Colour colour) override { properties_.BackColor(colour); }
    void DrawWidth(int pixels) override { properties_.DrawWidth(pixels); }
    void Cls() override;
    void Line(float x1, float y1, float x2, float y2) override;
    void Circle(float x, float y, float radius) override;
    [[noreturn]] void End() override { EndProgram(); }

    [[nodiscard]] const PersistentImage& Image() const { return image_; }
    [[nodiscard]] const FormProperties& Properties() const { return properties_; }
    // The program has drawn into the image: cleared it or drawn on it.
    [[nodiscard]] bool Drawn() const { return drawn_; }

protected:
    [[nodiscard]] FormProperties& MutableProperties() { return properties_; }
    [[nodiscard]] PersistentImage& MutableImage() { return image_; }
    // Resizes the image to a new client area, filling new parts with BackColor.
    void ResizeImage(int width, int height);
    // A colour of the program's as a pixel of the image.
    [[nodiscard]] PixelColour PixelOf(Colour colour) const;
    // The handlers; a run-time error if none are attached yet.
    [[nodiscard]] FormEvents& Events() const;

private:
    FormProperties properties_;
    PersistentImage image_;
    FormEvents* events_ = nullptr;
    bool drawn_ = false;
};

}  // namespace platform
