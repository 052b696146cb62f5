#include "tests/recording_form.h"

#include <sstream>

#include "app/form1.h"

namespace testing_support {
namespace {

std::string Numbers(std::initializer_list<float> values) {
    std::ostringstream text;
    text.precision(9);
    const char* separator = "";
    for (const float value : values) {
        text << separator << value;
        separator = " ";
    }
    return text.str();
}

}  // namespace

RecordingForm::RecordingForm(int width, int height) : offscreen_(app::Form1::Design(), width, height) {}

void RecordingForm::AutoRedraw(bool enabled) {
    journal_.push_back(std::string("AutoRedraw ") + (enabled ? "True" : "False"));
    offscreen_.AutoRedraw(enabled);
}

void RecordingForm::ScaleMode(int mode) {
    journal_.push_back("ScaleMode " + std::to_string(mode));
    offscreen_.ScaleMode(mode);
}

void RecordingForm::Show() {
    journal_.emplace_back("Show");
    offscreen_.Show();
}

void RecordingForm::ForeColor(platform::Colour colour) {
    journal_.push_back("ForeColor " + std::to_string(colour));
    offscreen_.ForeColor(colour);
}

void RecordingForm::BackColor(platform::Colour colour) {
    journal_.push_back("BackColor " + std::to_string(colour));
    offscreen_.BackColor(colour);
}

void RecordingForm::DrawWidth(int pixels) {
    journal_.push_back("DrawWidth " + std::to_string(pixels));
    offscreen_.DrawWidth(pixels);
}

void RecordingForm::WindowState(int state) {
    journal_.push_back("WindowState " + std::to_string(state));
    offscreen_.WindowState(state);
}

void RecordingForm::Caption(std::string_view text) {
    journal_.push_back("Caption " + std::string(text));
    offscreen_.Caption(text);
}

void RecordingForm::Cls() {
    journal_.emplace_back("Cls");
    offscreen_.Cls();
}

void RecordingForm::Line(float x1, float y1, float x2, float y2) {
    journal_.push_back("Line " + Numbers({x1, y1, x2, y2}));
    offscreen_.Line(x1, y1, x2, y2);
}

void RecordingForm::Circle(float x, float y, float radius) {
    journal_.push_back("Circle " + Numbers({x, y, radius}));
    offscreen_.Circle(x, y, radius);
}

void RecordingForm::DoEvents() {
    journal_.emplace_back("DoEvents");
    offscreen_.DoEvents();
}

void RecordingForm::WaitEvents() {
    journal_.emplace_back("WaitEvents");
    offscreen_.WaitEvents();
}

void RecordingForm::End() {
    journal_.emplace_back("End");
    offscreen_.End();
}

}  // namespace testing_support
