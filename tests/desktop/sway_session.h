#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/desktop/compositor_session.h"
#include "tests/desktop/picture.h"
#include "tests/support/child_process.h"

namespace desktop {

using testing_support::Process;

// A program's toplevel as sway tells of it.
struct SwayWindow {
    std::string shell;
    std::string appId;
    std::string title;
    Rect container;    // in layout coordinates, with the decorations
    Rect content;      // the client area, in layout coordinates
    int titleBar = 0;  // the height of sway's title bar above the container
    int pid = 0;
    bool focused = false;
};

// Headless sway, as a Wayland desktop without X: its own runtime folder,
// run as an unprivileged user (sway refuses to run as root), and the
// programs the tests start on it run as that user too.
class SwaySession final : public CompositorSession {
public:
    // The output at this size and scale; returns once sway answers.
    SwaySession(int width, int height, int scale);
    ~SwaySession() override;
    SwaySession(const SwaySession&) = delete;
    SwaySession& operator=(const SwaySession&) = delete;

    // What a program needs to reach this compositor, and nothing of X.
    [[nodiscard]] Process::Environment Environment() const;
    [[nodiscard]] const std::string& Socket() const { return socket_; }
    [[nodiscard]] std::string Reachable(const std::string& program) const override;
    std::unique_ptr<Process> Start(const std::vector<std::string>& argv,
                                   const Process::Environment& extra = {}) override;
    [[nodiscard]] std::optional<Toplevel> FindToplevel(const std::string& appId, int pid = 0) override;
    [[nodiscard]] std::optional<Picture> Capture(const Rect& area) override { return Screenshot(area); }
    // Sway tiles: out of its tile, the window floats at its normal size.
    void Restore(int pid) override;
    void Focus(const std::string& appId) override;
    void Close(int pid) override;

    // swaymsg's answer to a command; empty when it failed.
    std::string Command(const std::string& command);
    [[nodiscard]] std::optional<SwayWindow> FindWindow(const std::string& appId, int pid = 0);
    // The layout's pixels in the rectangle, at the output's scale.
    [[nodiscard]] Picture Screenshot(const Rect& area);
    // A pointer for the seat, and a click with it at a point of the layout.
    void GivePointer();
    void Click(int x, int y) override;
    // Sway has no fake touchscreen for a test to tap with.
    void Tap(int x, int y) override;
    void Hide(int pid) override;
    void Unhide(int pid) override;
    // The pointer to a point of the layout, without a click.
    void MovePointer(int x, int y);
    // A mouse's press at one point of the layout, moved to another and
    // released there.
    void Drag(int fromX, int fromY, int toX, int toY);
    // A second output, right of the first and as large in layout
    // coordinates, at this scale; its name. New windows stay on the first.
    std::string AddOutput(int scale);
    void Kill() override;

private:
    [[nodiscard]] std::string Run(const std::vector<std::string>& argv);

    std::string user_;
    std::filesystem::path runtime_;
    std::string socket_;
    std::string ipc_;
    int width_;
    int height_;
    int outputs_ = 1;
    std::unique_ptr<Process> sway_;
    std::unique_ptr<Process> pointer_;
};

}  // namespace desktop
