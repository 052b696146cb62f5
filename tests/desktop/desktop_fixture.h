#pragma once

// What the desktop tests share: a virtual desktop per test, the program
// started on it, and the checks of what its window shows.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "tests/desktop/virtual_desktop.h"
#include "tests/desktop/x_client.h"
#include "tests/support/process_readings.h"
#include "tests/support/program_under_test.h"

namespace desktop {

using std::chrono::milliseconds;
using std::chrono::seconds;
using testing_support::CpuTicks;
using testing_support::ProgramCommand;
using testing_support::ProgramUnderTest;
using testing_support::ResidentKilobytes;

inline constexpr int kScreenWidth = 1280;
inline constexpr int kScreenHeight = 800;
inline constexpr auto kAppear = seconds(10);
inline constexpr auto kSettle = seconds(5);
inline const char* const kTitlePrefix = "Fii on suunnilleen ";

class DesktopTest : public testing::Test {
protected:
    explicit DesktopTest(const DisplaySetup& setup = {}, const WindowManager* windowManager = &Openbox())
        : desktop_(setup, windowManager), x_(desktop_.Display(), desktop_.AuthorityFile()) {}

    using Environment = Process::Environment;

    // The program on this desktop; the extra variables go on top of the
    // display and a C locale.
    std::unique_ptr<Process> StartProgram(const Environment& extra = {}) {
        Environment environment = desktop_.Environment();
        environment["LC_ALL"] = "C";
        environment["WAYLAND_DISPLAY"] = std::nullopt;
        for (const auto& [name, value] : extra) {
            environment[name] = value;
        }
        return std::make_unique<Process>(ProgramCommand(ProgramUnderTest(PENTAGRAM_PROGRAM)), environment);
    }

    // The program's window once it shows the ratio title and is maximised.
    Window WaitForMaximisedWindow(Process& program) {
        std::optional<Window> window;
        EXPECT_TRUE(WaitUntil([&] { return (window = x_.FindWindow(kTitlePrefix)).has_value(); }, kAppear))
            << "no window titled '" << kTitlePrefix << "...' appeared; the program is "
            << (program.Running() ? "running" : "gone") << ", windows: " << x_.DescribeClients()
            << ", stderr: " << program.Stderr();
        if (!window) {
            return None;
        }
        EXPECT_TRUE(WaitUntil([&] { return IsMaximised(*window); }, kSettle)) << "the window is not maximised";
        return *window;
    }

    bool IsMaximised(Window window) {
        return x_.HasState(window, "_NET_WM_STATE_MAXIMIZED_VERT") &&
               x_.HasState(window, "_NET_WM_STATE_MAXIMIZED_HORZ");
    }

    // A screenshot of the client area once it has the size and the program
    // has drawn a figure fitted to it.
    Picture CaptureFitted(Window window, int width, int height) {
        Picture picture;
        std::optional<Rect> area;
        const bool fitted = WaitUntil(
            [&] {
                area = x_.ClientArea(window);
                if (!area || area->width != width || area->height != height) {
                    return false;
                }
                picture = x_.Capture(window);
                return picture.width == width && FigureFits(picture);
            },
            kSettle);
        if (!fitted) {
            KeepPicture(picture);
        }
        EXPECT_TRUE(fitted) << "no figure fitted to " << width << " x " << height << "; the client area is "
                            << (area ? std::to_string(area->width) + " x " + std::to_string(area->height) : "gone");
        return picture;
    }

    // Keeps a picture that showed a fault beside the test's build, named after the test.
    static void KeepPicture(const Picture& picture, const std::string& suffix = "") {
        std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(name.begin(), name.end(), '/', '-');
        std::filesystem::create_directories(PENTAGRAM_ARTIFACTS);
        picture.WritePng(std::string(PENTAGRAM_ARTIFACTS) + "/" + name + suffix + ".png");
    }

    VirtualDesktop desktop_;
    XClient x_;
};

}  // namespace desktop
