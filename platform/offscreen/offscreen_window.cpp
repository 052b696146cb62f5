#include "platform/offscreen/offscreen_window.h"

#include <algorithm>

#include "platform/run_time_error.h"

namespace platform {

void OffscreenWindow::Dispatch() {
    ++dispatches_;
    for (auto due = script_.begin(); due != script_.end() && due->first <= dispatches_; due = script_.erase(due)) {
        const ScriptedEvent& event = due->second;
        switch (event.kind) {
            case ScriptedEvent::Kind::Click: {
                // The mouse's button, pressed and released in the client area's middle.
                const PointerPosition middle{size_.width / 2.0, size_.height / 2.0};
                Events().Pointed({PointerEvent::Action::Down, {}, middle});
                Events().Pointed({PointerEvent::Action::Up, {}, middle});
                break;
            }
            case ScriptedEvent::Kind::Close:
                Events().CloseRequested();
                break;
            case ScriptedEvent::Kind::Resize:
                size_ = {event.width, event.height};
                Events().Resized();
                break;
        }
    }
}

void OffscreenWindow::Wait(Clock::duration /*longest*/) {
    if (script_.empty()) {
        throw RunTimeError("cannot wait for a window event", "the offscreen form's script holds no more events");
    }
    // Sleeping until the next event is, offscreen, skipping to it.
    dispatches_ = std::max(dispatches_, script_.begin()->first - 1);
}

}  // namespace platform
