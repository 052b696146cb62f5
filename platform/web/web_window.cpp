#include "platform/web/web_window.h"

#include <algorithm>
#include <chrono>

#include "platform/form/form_properties.h"
#include "platform/run_time_error.h"

// The browser's side, in web_canvas.js.
extern "C" {
int pentagram_canvas_open();
void pentagram_canvas_close();
double pentagram_canvas_device_pixel_ratio();
void pentagram_canvas_size(int* size);
void pentagram_canvas_title(const char* title);
void pentagram_canvas_show();
int pentagram_canvas_visible();
int pentagram_canvas_ready();
double pentagram_canvas_refresh_in();
void pentagram_canvas_memory(std::uint8_t* memory, int width, int height);
void pentagram_canvas_put(int x, int y, int width, int height);
int pentagram_canvas_next_event();
void pentagram_canvas_turn();
void pentagram_canvas_rest(int milliseconds);
}

namespace platform::web {
namespace {

// The kinds of event web_canvas.js tells, with whether the pointer was on
// the canvas in the lowest bit.
enum EventKind { kPressed = 1, kReleased = 2, kResized = 3, kExposed = 4 };

}  // namespace

WebWindow::WebWindow() {
    if (pentagram_canvas_open() == 0) {
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

std::optional<NativeWindow::Clock::time_point> WebWindow::NextRefresh() const {
    const std::chrono::duration<double, std::milli> in(pentagram_canvas_refresh_in());
    return Clock::now() + std::chrono::duration_cast<Clock::duration>(in);
}

WindowPixels WebWindow::Pixels(int width, int height) {
    const bool fresh = PixelSize{width, height} != memorySize_;
    if (fresh) {
        memory_ = PixelMemory(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
        memorySize_ = {width, height};
        pentagram_canvas_memory(memory_.Data(), width, height);
    }
    return {{memory_.Data(), width, height, width * 4}, fresh, ChangedTiles::kTileSize};
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
    while (const int event = pentagram_canvas_next_event()) {
        const bool inside = (event & 1) != 0;
        switch (event >> 1) {
            case kPressed:
                Events().Pressed(inside);
                break;
            case kReleased:
                Events().Released(inside);
                break;
            case kResized:
                Events().Resized();
                break;
            case kExposed:
                Events().Exposed();
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
