// Offscreen frame cost, side by side in one run: the program's own frame on
// the offscreen form, the straightforward cairo frame, the same with
// Anti-Grain Geometry, and clearing alone.
// Runs are interleaved (A B C A B C ...) so that a busy machine slows all of
// them alike; the table gives medians and their ratios.

#include <cairo.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/form1.h"
#include "bench/agg_figure.h"
#include "bench/plain_figure.h"
#include "platform/form/form_runtime.h"
#include "platform/offscreen/offscreen_form.h"
#include "tests/support/cairo_image.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRounds = 7;
constexpr int kFramesPerRun = 200;

struct Size {
    int width;
    int height;
};

// The program's frame loop for a run of frames; returns µs per frame.
double ProgramFrames(Size size) {
    // Made before the clock starts, as the plain frames' image is.
    platform::OffscreenForm form(app::Form1::Design(), size.width, size.height);
    app::Form1 form1(form, ".");
    form.At(kFramesPerRun + 1, {platform::ScriptedEvent::Kind::Close});
    const auto start = Clock::now();
    const auto error = platform::RunForm(form, form1);
    const auto elapsed = std::chrono::duration<double, std::micro>(Clock::now() - start).count();
    if (error) {
        std::fprintf(stderr, "frame failed: %s\n", error->c_str());
        std::exit(1);
    }
    return elapsed / kFramesPerRun;
}

// The same figure the plain way: clear, then stroke five diagonals and the
// circle with cairo, antialiased, round caps, 5 px.
double StraightforwardFrames(Size size) {
    CairoImage image(size.width, size.height);
    const auto start = Clock::now();
    for (int frame = 1; frame <= kFramesPerRun; ++frame) {
        (void)StrokePlainFrame(image.context.get(), size.width, size.height, frame);
    }
    cairo_surface_flush(image.surface.get());
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count() / kFramesPerRun;
}

// The same with Anti-Grain Geometry.
double AggFrames(Size size) {
    AggFigure figure(size.width, size.height);
    const auto start = Clock::now();
    for (int frame = 1; frame <= kFramesPerRun; ++frame) {
        figure.StrokeFrame(frame);
    }
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count() / kFramesPerRun;
}

// The floor: clearing the image, and nothing else.
double ClearOnlyFrames(Size size) {
    CairoImage image(size.width, size.height);
    cairo_t* cr = image.context.get();
    const auto start = Clock::now();
    for (int frame = 1; frame <= kFramesPerRun; ++frame) {
        cairo_set_source_rgb(cr, 0, 0, 0);
        cairo_paint(cr);
    }
    cairo_surface_flush(image.surface.get());
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count() / kFramesPerRun;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The program's frames after its first, which makes the image's memory and
// works out the circle's coverage: timed from the title of the second frame
// to that of the one kFramesPerRun later; µs per frame.
double SteadyFrames(Size size) {
    platform::OffscreenForm form(app::Form1::Design(), size.width, size.height);
    app::Form1 form1(form, ".");
    form.At(kFramesPerRun + 3, {platform::ScriptedEvent::Kind::Close});
    int titles = 0;
    Clock::time_point start;
    Clock::time_point end;
    form.OnCaption([&](std::string_view) {
        ++titles;
        if (titles == 2) {
            start = Clock::now();
        } else if (titles == 2 + kFramesPerRun) {
            end = Clock::now();
        }
    });
    if (const auto error = platform::RunForm(form, form1)) {
        std::fprintf(stderr, "frame failed: %s\n", error->c_str());
        std::exit(1);
    }
    return std::chrono::duration<double, std::micro>(end - start).count() / kFramesPerRun;
}

// The program's frame at the common sizes up to 8K, interleaved, each
// beside the 1920 x 1080 frame: a frame's strokes grow with the side of
// the client area, and so should its cost. With the peak resident memory
// of the run once each size has run (the sizes grow, so it is that size's).
void Sizes() {
    constexpr int kSizeRounds = 15;
    const Size sizes[] = {{1920, 1080}, {3840, 2160}, {7680, 4320}};
    std::vector<std::vector<double>> samples(std::size(sizes));
    std::vector<long> peaks(std::size(sizes));
    for (int round = 0; round < kSizeRounds; ++round) {
        for (std::size_t s = 0; s < std::size(sizes); ++s) {
            samples[s].push_back(SteadyFrames(sizes[s]));
            if (round == 0) {
                rusage usage{};
                getrusage(RUSAGE_SELF, &usage);
                peaks[s] = usage.ru_maxrss;
            }
        }
    }
    // The machine is shared: a round another process slows is slower, never
    // faster, so beside the median stands the fastest round.
    std::printf("\nthe program's frame by size, after the first, %d interleaved rounds of %d frames\n\n", kSizeRounds,
                kFramesPerRun);
    std::printf("%-11s %14s %12s %14s %12s %18s\n", "size", "median us", "/1920x1080", "fastest us", "/1920x1080",
                "peak resident MB");
    const double medianBase = Median(samples[0]);
    const double fastestBase = *std::min_element(samples[0].begin(), samples[0].end());
    for (std::size_t s = 0; s < std::size(sizes); ++s) {
        const std::string label = std::to_string(sizes[s].width) + "x" + std::to_string(sizes[s].height);
        const double median = Median(samples[s]);
        const double fastest = *std::min_element(samples[s].begin(), samples[s].end());
        std::printf("%-11s %14.1f %11.2fx %14.1f %11.2fx %18.1f\n", label.c_str(), median, median / medianBase, fastest,
                    fastest / fastestBase, static_cast<double>(peaks[s]) / 1024);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::string(argv[1]) == "sizes") {
        Sizes();
        return 0;
    }
    struct Contender {
        const char* name;
        std::function<double(Size)> run;
    };
    const Contender contenders[] = {
        {"program frame (offscreen form)", ProgramFrames},
        {"straightforward cairo frame", StraightforwardFrames},
        {"the same with AGG", AggFrames},
        {"clear only (floor)", ClearOnlyFrames},
    };
    std::printf("offscreen, %d interleaved rounds of %d frames; medians in microseconds per frame\n\n", kRounds,
                kFramesPerRun);
    std::printf("%-11s %-32s %12s %22s\n", "size", "contender", "us/frame", "straightforward/this");
    for (const Size size : {Size{1024, 740}, Size{1920, 1080}}) {
        std::vector<std::vector<double>> samples(std::size(contenders));
        for (int round = 0; round < kRounds; ++round) {
            for (std::size_t c = 0; c < std::size(contenders); ++c) {
                samples[c].push_back(contenders[c].run(size));
            }
        }
        const double straightforward = Median(samples[1]);
        for (std::size_t c = 0; c < std::size(contenders); ++c) {
            const double median = Median(samples[c]);
            const std::string label = std::to_string(size.width) + "x" + std::to_string(size.height);
            std::printf("%-11s %-32s %12.1f %21.2fx\n", label.c_str(), contenders[c].name, median,
                        straightforward / median);
        }
    }
}
