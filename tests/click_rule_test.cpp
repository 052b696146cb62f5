// What a click is, one table of gestures for every way a pointer is told:
// with where it is at each event (the page, X11, Windows), for the mouse and
// for fingers; and through the Wayland seat, which follows where the mouse
// and each finger are from the protocol's own events.

#include "platform/window/click_rule.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/wayland/wayland_pointers.h"

namespace {

using platform::Pointer;
using platform::PointerEvent;
using platform::PointerPosition;
using platform::wayland::SeatPointers;

constexpr platform::PixelSize kClient{100, 80};

struct Step {
    // d(own) on the window, o: down on its frame, m(ove), u(p), c: every
    // pointer down taken over by the window system
    char what;
    int finger;
    double x = 0;
    double y = 0;
};

struct Gesture {
    const char* name;
    std::vector<Step> steps;
    int clicks;
    // Of the mouse too, not only of fingers; cancelled, not only where
    // the window system cancels a mouse (the page).
    bool mouse = true;
    bool cancelled = false;
};

const std::vector<Gesture>& Gestures() {
    static const std::vector<Gesture> gestures{
        {"a click", {{'d', 0, 50, 40}, {'u', 0}}, 1},
        {"moved within and released", {{'d', 0, 50, 40}, {'m', 0, 99, 79}, {'u', 0}}, 1},
        {"dragged off and released there", {{'d', 0, 50, 40}, {'m', 0, 100, 40}, {'u', 0}}, 0},
        {"dragged to another output and released", {{'d', 0, 50, 40}, {'m', 0, -300, 20}, {'u', 0}}, 0},
        {"dragged off and back", {{'d', 0, 50, 40}, {'m', 0, 50, -5}, {'m', 0, 60, 30}, {'u', 0}}, 1},
        {"pressed on the frame, released inside", {{'o', 0, 50, -10}, {'m', 0, 50, 40}, {'u', 0}}, 0},
        {"a press alone", {{'d', 0, 50, 40}}, 0},
        {"a release alone", {{'u', 0}}, 0},
        {"its release lost, then a click", {{'d', 0, 20, 20}, {'d', 0, 50, 40}, {'u', 0}}, 1},
        {"a cancelled press", {{'d', 0, 50, 40}, {'c', 0}, {'u', 0}}, 0, true, true},
        {"a second finger lifted first", {{'d', 0, 10, 10}, {'d', 1, 60, 60}, {'u', 1}, {'u', 0}}, 1, false},
        {"a second finger lifted outside",
         {{'d', 0, 10, 10}, {'d', 1, 60, 60}, {'m', 1, 200, 200}, {'u', 1}, {'u', 0}},
         1,
         false},
        {"the first finger moved off",
         {{'d', 0, 10, 10}, {'d', 1, 60, 60}, {'m', 0, 150, 10}, {'u', 0}, {'u', 1}},
         0,
         false},
        {"the first lifted, then a tap while the second is down",
         {{'d', 0, 10, 10}, {'d', 1, 60, 60}, {'u', 0}, {'d', 2, 30, 30}, {'u', 2}, {'u', 1}},
         1,
         false},
        {"a touch cancelled, then a tap",
         {{'d', 0, 10, 10}, {'d', 1, 60, 60}, {'c', 0}, {'d', 2, 30, 30}, {'u', 2}},
         1,
         false,
         true},
    };
    return gestures;
}

// Tells a gesture's steps as one kind of window system does, each event to `told`.
using Teller = std::function<void(const Gesture&, const std::function<void(const PointerEvent&)>& told)>;

// Every event with where the pointer is: the page, X11, Windows.
Teller WithEveryEvent(Pointer::Kind kind) {
    return [kind](const Gesture& gesture, const auto& told) {
        std::map<int, std::optional<PointerPosition>> at;
        for (const Step& step : gesture.steps) {
            const Pointer pointer{kind, kind == Pointer::Kind::Mouse ? 0 : step.finger};
            switch (step.what) {
                case 'd':
                case 'o':
                    at[step.finger] = step.what == 'd' ? std::optional(PointerPosition{step.x, step.y}) : std::nullopt;
                    told({PointerEvent::Action::Down, pointer, at[step.finger]});
                    break;
                case 'm':
                    // Off the window's surface the pointer stays where nothing is ours.
                    if (at[step.finger]) {
                        at[step.finger] = PointerPosition{step.x, step.y};
                    }
                    break;
                case 'u':
                    told({PointerEvent::Action::Up, pointer, at[step.finger]});
                    at.erase(step.finger);
                    break;
                default:
                    // The window system takes over every pointer that is down.
                    for (const auto& [finger, where] : at) {
                        told({PointerEvent::Action::Cancel, {kind, kind == Pointer::Kind::Mouse ? 0 : finger}, where});
                    }
                    at.clear();
                    break;
            }
        }
    };
}

// The Wayland seat's mouse: entered, moved, a button with no position.
void WaylandMouse(const Gesture& gesture, const std::function<void(const PointerEvent&)>& told) {
    SeatPointers seat;
    for (const Step& step : gesture.steps) {
        if (step.what == 'd' || step.what == 'o') {
            seat.Enter(step.what == 'd', {step.x, step.y});
            told(seat.Button(true));
        } else if (step.what == 'm') {
            seat.Motion({step.x, step.y});
        } else {
            told(seat.Button(false));
        }
    }
}

// The Wayland seat's fingers, each step a frame of its own.
void WaylandFingers(const Gesture& gesture, const std::function<void(const PointerEvent&)>& told) {
    SeatPointers seat;
    for (const Step& step : gesture.steps) {
        SeatPointers::Events events;
        if (step.what == 'd' || step.what == 'o') {
            seat.TouchDown(step.finger, step.what == 'd', {step.x, step.y});
        } else if (step.what == 'm') {
            seat.TouchMotion(step.finger, {step.x, step.y});
        } else if (step.what == 'u') {
            seat.TouchUp(step.finger);
        } else {
            events = seat.TouchCancel();
        }
        const SeatPointers::Events framed = seat.TouchFrame();
        events.insert(events.end(), framed.begin(), framed.end());
        for (const PointerEvent& event : events) {
            told(event);
        }
    }
}

TEST(ClickRuleTest, OneTableOfGesturesForMouseAndFingersTheWayEveryWindowSystemTellsThem) {
    struct Path {
        const char* name;
        Teller tell;
        bool mouse;
        bool cancels;
    };
    const std::vector<Path> paths{
        {"the page's mouse", WithEveryEvent(Pointer::Kind::Mouse), true, true},
        {"fingers on the page", WithEveryEvent(Pointer::Kind::Finger), false, true},
        {"the Wayland seat's mouse", WaylandMouse, true, false},
        {"fingers on the Wayland seat", WaylandFingers, false, true},
    };
    for (const Path& path : paths) {
        for (const Gesture& gesture : Gestures()) {
            if ((path.mouse && !gesture.mouse) || (gesture.cancelled && !path.cancels)) {
                continue;
            }
            platform::ClickRule rule;
            int clicks = 0;
            path.tell(gesture, [&](const PointerEvent& event) { clicks += rule.Take(event, kClient) ? 1 : 0; });
            EXPECT_EQ(clicks, gesture.clicks) << gesture.name << ", " << path.name;
        }
    }
}

// A touch the compositor cancels in the very group that lifts it is no
// release, though the lift came first.
TEST(ClickRuleTest, AWaylandTouchCancelledInTheFrameThatLiftsItIsNoClick) {
    SeatPointers seat;
    platform::ClickRule rule;
    int clicks = 0;
    const auto take = [&](const SeatPointers::Events& events) {
        for (const PointerEvent& event : events) {
            clicks += rule.Take(event, kClient) ? 1 : 0;
        }
    };
    seat.TouchDown(7, true, {50, 40});
    take(seat.TouchFrame());
    seat.TouchUp(7);
    take(seat.TouchCancel());
    take(seat.TouchFrame());
    seat.TouchDown(8, true, {50, 40});
    take(seat.TouchFrame());
    seat.TouchUp(8);
    take(seat.TouchFrame());
    EXPECT_EQ(clicks, 1) << "the cancelled lift clicked, or the next tap did not";
}

}  // namespace
