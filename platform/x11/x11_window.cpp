#include "platform/x11/x11_window.h"

#include <poll.h>

#include <algorithm>
#include <array>

#include "platform/x11/x11_resources.h"

namespace platform::x11 {
namespace {

// Buttons 4 to 7 are the wheel's turns, not presses.
constexpr int kFirstWheelButton = 4;
constexpr int kLastWheelButton = 7;

bool IsWheel(int button) { return button >= kFirstWheelButton && button <= kLastWheelButton; }

// On the root's visual and depth, black until the first picture, and
// keeping its pixels where they were when it is resized.
xcb_window_t CreateWindow(const X11Connection& connection) {
    const xcb_window_t window = xcb_generate_id(connection.Get());
    const std::array<std::uint32_t, 3> values{connection.Screen().black_pixel, XCB_GRAVITY_NORTH_WEST,
                                              XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_BUTTON_PRESS |
                                                  XCB_EVENT_MASK_BUTTON_RELEASE | XCB_EVENT_MASK_STRUCTURE_NOTIFY |
                                                  XCB_EVENT_MASK_PROPERTY_CHANGE};
    xcb_create_window(connection.Get(), XCB_COPY_FROM_PARENT, window, connection.Root(), 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT,
                      XCB_CW_BACK_PIXEL | XCB_CW_BIT_GRAVITY | XCB_CW_EVENT_MASK, values.data());
    return window;
}

}  // namespace

X11Window::X11Window()
    : window_(CreateWindow(connection_)),
      toplevel_(connection_, window_),
      presenter_(connection_, window_),
      dotsPerInch_(DesktopDotsPerInch(connection_)),
      size_{1, 1} {
    connection_.OwnWindow(window_);
    toplevel_.WindowManager().Introduce();
}

void X11Window::SizeNormally(PixelSize size) {
    toplevel_.SizeNormally(size);
    size_ = size;
}

// The toplevel holds the requests back until the window manager can take them.
void X11Window::Show(int windowState) {
    toplevel_.Show();
    toplevel_.WantState(windowState);
}

void X11Window::Dispatch() {
    const auto now = Clock::now();
    TakeInEvents(now);
    toplevel_.Step(now);
    // What came in while the toplevel awaited its replies.
    TakeInEvents(now);
    connection_.Flush();
}

void X11Window::TakeInEvents(Clock::time_point now) {
    while (const auto event = connection_.NextEvent()) {
        Handle(*event);
        toplevel_.Notice(*event, now);
    }
}

void X11Window::Handle(const xcb_generic_event_t& event) {
    switch (EventKind(event)) {
        case 0:
            // Every request is the program's own: none may fail unnoticed.
            connection_.Refused(reinterpret_cast<const xcb_generic_error_t&>(event));
        case XCB_BUTTON_PRESS:
        case XCB_BUTTON_RELEASE: {
            // The release comes to the window wherever it is, under the
            // press's implicit grab, with where the pointer is.
            const auto& button = reinterpret_cast<const xcb_button_press_event_t&>(event);
            if (!IsWheel(button.detail)) {
                const auto action =
                    EventKind(event) == XCB_BUTTON_PRESS ? PointerEvent::Action::Down : PointerEvent::Action::Up;
                const PointerPosition at{static_cast<double>(button.event_x), static_cast<double>(button.event_y)};
                Events().Pointed({action, {}, at});
            }
            break;
        }
        case XCB_EXPOSE:
            // The last of a series of exposed rectangles.
            if (reinterpret_cast<const xcb_expose_event_t&>(event).count == 0) {
                Events().Exposed();
            }
            break;
        case XCB_CONFIGURE_NOTIFY: {
            const auto& configure = reinterpret_cast<const xcb_configure_notify_event_t&>(event);
            if (configure.window == window_ && (configure.width != size_.width || configure.height != size_.height)) {
                size_ = {configure.width, configure.height};
                Events().Resized();
            }
            break;
        }
        case XCB_CLIENT_MESSAGE:
            if (toplevel_.WindowManager().Answer(reinterpret_cast<const xcb_client_message_event_t&>(event))) {
                Events().CloseRequested();
            }
            break;
        default:
            presenter_.Notice(event);
            break;
    }
}

// Sleeps until the server or the wake descriptor has something for the
// window, or the window manager's answer is due.
void X11Window::Wait(Clock::duration longest) {
    connection_.Flush();
    if (connection_.EventWaiting()) {
        return;
    }
    const auto now = Clock::now();
    const auto wake = std::min(toplevel_.NextStep().value_or(now + longest), now + longest);
    const auto timeout = std::chrono::duration_cast<std::chrono::milliseconds>(wake - now).count();
    std::array<pollfd, 2> sources{pollfd{connection_.Descriptor(), POLLIN, 0}, pollfd{WakeDescriptor(), POLLIN, 0}};
    // An interrupted or failed wait is only a shorter one: the caller looks again.
    (void)poll(sources.data(), sources.size(), static_cast<int>(std::max<long long>(0, timeout)));
}

}  // namespace platform::x11
