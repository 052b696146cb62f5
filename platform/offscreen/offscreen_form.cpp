#include "platform/offscreen/offscreen_form.h"

#include <algorithm>

#include "platform/run_time_error.h"

namespace platform {

OffscreenForm::OffscreenForm(const FormDesign& design, int width, int height) : properties_(design) {
    image_.Resize(width, height, properties_.BackColor());
}

void OffscreenForm::At(std::uint64_t doEventsCall, ScriptedEvent event) { script_.emplace(doEventsCall, event); }

void OffscreenForm::Caption(std::string_view text) {
    properties_.Caption(text);
    if (captionObserver_) {
        captionObserver_(text);
    }
}

void OffscreenForm::Line(float x1, float y1, float x2, float y2) {
    image_.Line(x1, y1, x2, y2, properties_.ForeColor(), properties_.DrawWidth());
}

void OffscreenForm::Circle(float x, float y, float radius) {
    image_.Circle(x, y, radius, properties_.ForeColor(), properties_.DrawWidth());
}

void OffscreenForm::DoEvents() {
    ++doEventsCalls_;
    // Taken out before delivery: a handler may end the program mid-way.
    while (!script_.empty() && script_.begin()->first <= doEventsCalls_) {
        const ScriptedEvent event = script_.begin()->second;
        script_.erase(script_.begin());
        Deliver(event);
    }
}

void OffscreenForm::WaitEvents() {
    if (script_.empty()) {
        throw RunTimeError("cannot wait for a window event", "the offscreen form's script holds no more events");
    }
    // Sleeping until the next event is, offscreen, skipping to it.
    doEventsCalls_ = std::max(doEventsCalls_, script_.begin()->first - 1);
    DoEvents();
}

void OffscreenForm::Deliver(const ScriptedEvent& event) {
    if (events_ == nullptr) {
        throw RunTimeError("cannot deliver a window event", "the form has no event handlers attached");
    }
    switch (event.kind) {
        case ScriptedEvent::Kind::Click:
            events_->Click();
            break;
        case ScriptedEvent::Kind::Close:
            RaiseUnload(*events_);
            break;
        case ScriptedEvent::Kind::Resize:
            image_.Resize(event.width, event.height, properties_.BackColor());
            break;
    }
}

}  // namespace platform
