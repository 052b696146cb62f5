#pragma once

// What the Wayland tests share: headless sway per test, the program started
// on it, and its toplevel and pictures looked at.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>

#include "tests/desktop/picture.h"
#include "tests/desktop/ratio_title.h"
#include "tests/desktop/sway_session.h"
#include "tests/support/process_readings.h"
#include "tests/support/program_under_test.h"

namespace desktop {

using std::chrono::milliseconds;
using std::chrono::seconds;
using testing_support::ProgramCommand;
using testing_support::ProgramUnderTest;
using testing_support::WaitUntil;

inline constexpr auto kAppear = seconds(10);
inline constexpr auto kSettle = seconds(5);

class WaylandTest : public testing::Test {
protected:
    explicit WaylandTest(int scale = 1) : session_(1280, 800, scale) {}

    std::unique_ptr<Process> StartProgram(const Process::Environment& extra = {}) {
        return session_.Start(ProgramCommand(session_.Reachable(ProgramUnderTest(PENTAGRAM_PROGRAM))), extra);
    }

    // The program's toplevel once it has the ratio title.
    SwayWindow WaitForWindow(Process& program) {
        std::optional<SwayWindow> window;
        EXPECT_TRUE(WaitUntil(
            [&] {
                window = session_.FindWindow("pentagram", program.Pid());
                return window && IsRatioTitle(window->title);
            },
            kAppear))
            << "no toplevel with the ratio title; the program is " << (program.Running() ? "running" : "gone")
            << ", stderr: " << program.Stderr();
        return window.value_or(SwayWindow{});
    }

    // A screenshot of the client area once it has the size, in logical
    // pixels, and shows the figure fitted to it.
    Picture CaptureFitted(Process& program, int width, int height) {
        Picture picture;
        const bool fitted = WaitUntil(
            [&] {
                const auto window = session_.FindWindow("pentagram", program.Pid());
                if (!window || window->content.width != width || window->content.height != height) {
                    return false;
                }
                picture = session_.Screenshot(window->content);
                return FigureFits(picture);
            },
            kSettle);
        EXPECT_TRUE(fitted) << "no figure fitted to " << width << " x " << height;
        return picture;
    }

    // GNOME's compositor, headless, beside sway in the session's runtime folder.
    std::unique_ptr<Process> StartMutter() {
        auto mutter = session_.Start({"dbus-run-session", "--", "mutter", "--wayland", "--headless",
                                      "--virtual-monitor", "1280x800", "--wayland-display", kMutterSocket});
        const auto socket = std::filesystem::path(*session_.Environment().at("XDG_RUNTIME_DIR")) / kMutterSocket;
        EXPECT_TRUE(WaitUntil([&] { return std::filesystem::exists(socket) || !mutter->Running(); }, kAppear) &&
                    mutter->Running())
            << "required: mutter did not start headless: " << mutter->Stderr();
        return mutter;
    }

    static constexpr const char* kMutterSocket = "mutter-pentagram";
    SwaySession session_;
};

}  // namespace desktop
