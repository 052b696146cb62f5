// The program's frames per second in a browser tab: its own Form1 on the
// canvas window, timed from the first frame drawn at the benchmark's width
// (bench/web_bench.py gives the tab a 1920 x 1080 viewport), its figure
// written to the console. The page is the program's own, with this in place
// of the process entry.

#include <cstdio>
#include <memory>

#include "app/form1.h"
#include "bench/frame_counter.h"
#include "platform/form/form_runtime.h"
#include "platform/web/web_window.h"
#include "platform/window/window_form.h"

namespace {

constexpr int kWidth = 1920;
constexpr long kFrames = 30000;

}  // namespace

int main() {
    try {
        platform::WindowForm form(app::Form1::Design(), std::make_unique<platform::web::WebWindow>());
        FrameCounter counter(form, kFrames, [](float width) { return width >= kWidth; });
        app::Form1 form1(counter, ".");
        if (const auto error = platform::RunForm(counter, form1)) {
            std::printf("failed: %s\n", error->c_str());
            return 1;
        }
        std::printf("frames/s %.1f\n", counter.FramesPerSecond());
    } catch (const std::exception& failure) {
        std::printf("failed: %s\n", failure.what());
        return 1;
    }
    return 0;
}
