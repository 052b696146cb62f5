// The Windows window's frames per second, the program's own loop: the
// window showing only the tiles that changed, or every frame whole. Run
// under Wine by bench/windows_bench.sh, which interleaves the two ways.
//
//   pentagram_win32_bench changed|whole FRAMES

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/form1.h"
#include "bench/frame_counter.h"
#include "bench/whole_frames.h"
#include "platform/form/form_runtime.h"
#include "platform/win32/win32_window.h"
#include "platform/window/window_form.h"

namespace {

// Maximised: the width has stopped growing for ten frames.
FrameCounter::Settled WidthSteady() {
    return [last = 0.0F, steadyFrames = 0](float width) mutable {
        steadyFrames = width > 0 && width == last ? steadyFrames + 1 : 0;
        last = width;
        return steadyFrames > 10;
    };
}

}  // namespace

int main(int argc, char** argv) {
    const std::string way = argc == 3 ? argv[1] : "";
    if (way != "changed" && way != "whole") {
        std::fprintf(stderr, "usage: pentagram_win32_bench changed|whole FRAMES\n");
        return 2;
    }
    std::unique_ptr<platform::NativeWindow> window = std::make_unique<platform::win32::Win32Window>();
    if (way == "whole") {
        window = std::make_unique<WholeFrames>(std::move(window));
    }
    platform::WindowForm form(app::Form1::Design(), std::move(window));
    FrameCounter counter(form, std::atol(argv[2]), WidthSteady());
    app::Form1 form1(counter, ".");
    if (const auto error = platform::RunForm(counter, form1)) {
        std::fprintf(stderr, "%s\n", error->c_str());
        return 1;
    }
    std::printf("%.1f %.0f\n", counter.FramesPerSecond(), counter.Width());
    return 0;
}
