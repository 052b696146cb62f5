#include "platform/offscreen/offscreen_form.h"

#include <algorithm>

#include "platform/run_time_error.h"

namespace platform {

OffscreenForm::OffscreenForm(const FormDesign& design, int width, int height) : ImageForm(design) {
    ResizeImage(width, height);
}

void OffscreenForm::At(std::uint64_t doEventsCall, ScriptedEvent event) { script_.emplace(doEventsCall, event); }

void OffscreenForm::Caption(std::string_view text) {
    MutableProperties().Caption(text);
    if (captionObserver_) {
        captionObserver_(text);
    }
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
    switch (event.kind) {
        case ScriptedEvent::Kind::Click:
            Events().Click();
            break;
        case ScriptedEvent::Kind::Close:
            RaiseUnload(Events());
            break;
        case ScriptedEvent::Kind::Resize:
            ResizeImage(event.width, event.height);
            break;
    }
}

}  // namespace platform
