#include "platform/web/web_window.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>

#include "platform/form/form_properties.h"
#include "platform/run_time_error.h"

namespace platform::web {

// One thing the canvas told, as web_canvas.js writes it.
struct CanvasEvent {
    // Which, by its place among the names the canvas was given.
    std::int32_t kind = 0;
    // The browser's number for the pointer, and whether it is a finger.
    std::int32_t pointer = 0;
    std::int32_t finger = 0;
    std::int32_t unused = 0;
    // Where, in CSS pixels from the canvas's top left corner.
    double x = 0;
    double y = 0;
    // When an animation frame began, in milliseconds on the page's clock.
    double time = 0;
};
static_assert(offsetof(CanvasEvent, x) == 16 && offsetof(CanvasEvent, time) == 32 && sizeof(CanvasEvent) == 40,
              "web_canvas.js writes the event at these offsets");

}  // namespace platform::web

// The browser's side, in web_canvas.js.
extern "C" {
int pentagram_canvas_open(const char* const* kinds, int kindCount);
void pentagram_canvas_close();
double pentagram_canvas_device_pixel_ratio();
void pentagram_canvas_size(int* size);
void pentagram_canvas_title(const char* title);
void pentagram_canvas_show();
int pentagram_canvas_visible();
int pentagram_canvas_ready();
void pentagram_canvas_rows(const std::uint8_t* rows, int width, int height);
void pentagram_canvas_put(int x, int y, int width, int height);
int pentagram_canvas_next_event(platform::web::CanvasEvent* event);
void pentagram_canvas_turn();
void pentagram_canvas_rest(int milliseconds);
}

namespace platform::web {
namespace {

// What the canvas tells, by the browser's own names for it: the canvas is
// given the names when it opens, and tells each by its place here.
enum Kind {
    kPointerDown,
    kPointerUp,
    kPointerCancel,
    kLostPointerCapture,
    kResize,
    kVisibilityChange,
    kAnimationFrame,
};
constexpr std::array<const char*, 7> kKinds{"pointerdown", "pointerup",        "pointercancel", "lostpointercapture",
                                            "resize",      "visibilitychange", "animationframe"};

// A pointer the canvas told of: the mouse (a pen too) or a finger, where it
// is in the canvas's device pixels. A capture lost is the pointer taken
// over, as a cancel is.
PointerEvent Pointed(const CanvasEvent& event) {
    const double ratio = pentagram_canvas_device_pixel_ratio();
    PointerEvent pointed{PointerEvent::Action::Cancel,
                         {event.finger != 0 ? Pointer::Kind::Finger : Pointer::Kind::Mouse, event.pointer},
                         PointerPosition{event.x * ratio, event.y * ratio}};
    if (event.kind == kPointerDown) {
        pointed.action = PointerEvent::Action::Down;
    } else if (event.kind == kPointerUp) {
        pointed.action = PointerEvent::Action::Up;
    }
    return pointed;
}

}  // namespace

WebWindow::WebWindow() {
    if (pentagram_canvas_open(kKinds.data(), static_cast<int>(kKinds.size())) == 0) {
        throw RunTimeError("cannot open the window", "the browser gives the canvas no 2D context");
    }
}

WebWindow::~WebWindow() { pentagram_canvas_close(); }

double WebWindow::DotsPerInch() const { return kStandardDotsPerInch * pentagram_canvas_device_pixel_ratio(); }

void WebWindow::SetTitle(const std::string& title) { pentagram_canvas_title(title.c_str()); }

void WebWindow::Show(int /*windowState*/) { pentagram_canvas_show(); }

bool WebWindow::Visible() const { return pentagram_canvas_visible() != 0; }

PixelSize WebWindow::ClientSize() const {
    int size[2] = {0, 0};
    pentagram_canvas_size(size);
    return {size[0], size[1]};
}

bool WebWindow::ReadyForPicture() { return pentagram_canvas_ready() != 0; }

WindowPixels WebWindow::Pixels(const PixelRows& image) {
    const bool fresh = image.data != rows_.data || image.width != rows_.width || image.height != rows_.height;
    if (fresh) {
        rows_ = image;
        pentagram_canvas_rows(image.data, image.width, image.height);
    }
    return {image, fresh, ChangedTiles::kTileSize};
}

void WebWindow::Send(const std::vector<PixelRect>& rects) {
    if (rects.empty()) {
        return;
    }
    int left = rects.front().x;
    int top = rects.front().y;
    int right = left;
    int bottom = top;
    for (const PixelRect& rect : rects) {
        left = std::min(left, rect.x);
        top = std::min(top, rect.y);
        right = std::max(right, rect.x + rect.width);
        bottom = std::max(bottom, rect.y + rect.height);
    }
    pentagram_canvas_put(left, top, right - left, bottom - top);
}

void WebWindow::GiveTurn() { pentagram_canvas_turn(); }

void WebWindow::Dispatch() {
    CanvasEvent event;
    while (pentagram_canvas_next_event(&event) != 0) {
        switch (event.kind) {
            case kPointerDown:
            case kPointerUp:
            case kPointerCancel:
            case kLostPointerCapture:
                Events().Pointed(Pointed(event));
                break;
            case kResize:
                Events().Resized();
                break;
            case kVisibilityChange:
                Events().Exposed();
                break;
            case kAnimationFrame:
                // The page's clock is the program's steady clock.
                Events().Refreshed(Clock::time_point(std::chrono::duration_cast<Clock::duration>(
                    std::chrono::duration<double, std::milli>(event.time))));
                break;
            default:
                break;
        }
    }
}

void WebWindow::Wait(Clock::duration longest) {
    const auto milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(longest).count();
    pentagram_canvas_rest(static_cast<int>(std::max<long long>(milliseconds, 1)));
}

}  // namespace platform::web
