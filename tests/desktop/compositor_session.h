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

// A program's toplevel as the compositor tells of it, in its layout's
// logical coordinates.
struct Toplevel {
    std::string appId;
    std::string title;
    Rect frame;    // with what the compositor draws around it
    Rect content;  // the window's own surface
    Rect area;     // where a maximised (or tiled) window's frame goes
    int pid = 0;
    bool focused = false;
};

// A headless Wayland compositor of a desktop that the tests start, as an
// unprivileged user of their own where they run as root, and what they ask
// of it: the same checks run under each (compositor_test.cpp).
class CompositorSession {
public:
    virtual ~CompositorSession() = default;

    // A copy of a program in a folder the session's user can reach.
    [[nodiscard]] virtual std::string Reachable(const std::string& program) const = 0;
    // Starts a program as the session's user, on this compositor.
    virtual std::unique_ptr<Process> Start(const std::vector<std::string>& argv,
                                           const Process::Environment& extra = {}) = 0;
    [[nodiscard]] virtual std::optional<Toplevel> FindToplevel(const std::string& appId, int pid = 0) = 0;
    // The compositor's pixels there, where it can give them.
    [[nodiscard]] virtual std::optional<Picture> Capture(const Rect& area) = 0;

    // The window at its normal size, as a restore gives it.
    virtual void Restore(int pid) = 0;
    virtual void Focus(const std::string& appId) = 0;
    // What the compositor does when the person closes the window.
    virtual void Close(int pid) = 0;
    // A click at a point of the layout.
    virtual void Click(int x, int y) = 0;
    // A finger's tap there, where the compositor can fake a touchscreen.
    virtual void Tap(int x, int y) = 0;
    // The window put out of sight as a person does (minimised, or into
    // sway's scratchpad), and shown again.
    virtual void Hide(int pid) = 0;
    virtual void Unhide(int pid) = 0;
    // Ends the compositor at once, as a crash would.
    virtual void Kill() = 0;
};

// The unprivileged user the Wayland tests run as when they run as root.
inline constexpr const char* kWaylandTestUser = "pentagram-test";

// What every session does to run its compositor as that user: a runtime
// folder of the user's own (empty `user` meaning the tests' own), and copies
// of programs in it, where the user can run them.
[[nodiscard]] std::filesystem::path MakeRuntimeFolder(const std::string& user);
void GiveTo(const std::string& user, const std::filesystem::path& path);
[[nodiscard]] std::string CopyInto(const std::filesystem::path& folder, const std::string& program);

}  // namespace desktop
