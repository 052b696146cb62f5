// The program's frame as WebAssembly, without a browser: its own Form1 on
// the offscreen form at 1920 x 1080 under Node.js, frames per second on
// stdout. bench/web_bench.py sets it beside the page and the native
// offscreen frame, so that the page's difference from the native frame
// splits into the code's and the browser's.

#include <chrono>
#include <cstdio>

#include "app/form1.h"
#include "platform/form/form_runtime.h"
#include "platform/offscreen/offscreen_form.h"

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr long kFrames = 30000;

}  // namespace

int main() {
    platform::OffscreenForm form(app::Form1::Design(), kWidth, kHeight);
    app::Form1 form1(form, ".");
    form.At(kFrames + 1, {platform::ScriptedEvent::Kind::Close});
    const auto start = std::chrono::steady_clock::now();
    if (const auto error = platform::RunForm(form, form1)) {
        std::printf("failed: %s\n", error->c_str());
        return 1;
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    std::printf("%.1f\n", static_cast<double>(kFrames) / elapsed.count());
    return 0;
}
