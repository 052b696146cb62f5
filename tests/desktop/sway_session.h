#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/desktop/picture.h"
#include "tests/support/child_process.h"

namespace desktop {

using testing_support::Process;

// A program's toplevel as sway tells of it.
struct SwayWindow {
    std::string shell;
    std::string appId;
    std::string title;
    Rect container;  // in layout coordinates, with the decorations
    Rect content;    // the client area, in layout coordinates
    int pid = 0;
};

// Headless sway, as a Wayland desktop without X: its own runtime folder,
// run as an unprivileged user (sway refuses to run as root), and the
// programs the tests start on it run as that user too.
class SwaySession {
public:
    // The output at this size and scale; returns once sway answers.
    SwaySession(int width, int height, int scale);
    ~SwaySession();
    SwaySession(const SwaySession&) = delete;
    SwaySession& operator=(const SwaySession&) = delete;

    // What a program needs to reach this compositor, and nothing of X.
    [[nodiscard]] Process::Environment Environment() const;
    [[nodiscard]] const std::string& Socket() const { return socket_; }
    // A copy of a program in a folder the session's user can reach.
    [[nodiscard]] std::string Reachable(const std::string& program) const;
    // Starts a program as the session's user.
    std::unique_ptr<Process> Start(const std::vector<std::string>& argv, const Process::Environment& extra = {});

    // swaymsg's answer to a command; empty when it failed.
    std::string Command(const std::string& command);
    [[nodiscard]] std::optional<SwayWindow> FindWindow(const std::string& appId, int pid = 0);
    // The layout's pixels in the rectangle, at the output's scale.
    [[nodiscard]] Picture Capture(const Rect& area);
    // A pointer for the seat, and a click with it at a point of the layout.
    void GivePointer();
    void Click(int x, int y);
    // Ends sway at once, as a crash would.
    void Kill();

private:
    [[nodiscard]] std::string Run(const std::vector<std::string>& argv);

    std::string user_;
    std::filesystem::path runtime_;
    std::string socket_;
    std::string ipc_;
    std::unique_ptr<Process> sway_;
    std::unique_ptr<Process> pointer_;
};

// The unprivileged user the Wayland tests run as when they run as root.
inline constexpr const char* kWaylandTestUser = "pentagram-test";

}  // namespace desktop
