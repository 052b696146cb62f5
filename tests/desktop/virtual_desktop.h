#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "tests/desktop/window_managers.h"
#include "tests/support/child_process.h"

namespace desktop {

using testing_support::Clock;
using testing_support::Process;
using testing_support::ScratchFile;
using testing_support::WaitUntil;

// The display a virtual desktop offers.
struct DisplaySetup {
    int width = 1280;
    int height = 800;
    int depth = 24;
    // Off, as over `ssh -X` or on a server built without MIT-SHM.
    bool sharedMemory = true;
    // Xft.dpi in the screen's resource database, as a scaled desktop sets it.
    std::optional<int> xftDpi;
    // The server lets in only clients that have its authority file.
    bool withAuthority = false;
};

// Xvfb on a display number of its own choosing, a session bus, and a window
// manager on it, each in a home of its own that goes with the desktop.
class VirtualDesktop {
public:
    // With a window manager, returns once it takes windows on.
    explicit VirtualDesktop(const DisplaySetup& setup = {}, const WindowManager* windowManager = &Openbox());
    ~VirtualDesktop();
    VirtualDesktop(const VirtualDesktop&) = delete;
    VirtualDesktop& operator=(const VirtualDesktop&) = delete;

    [[nodiscard]] const std::string& Display() const { return display_; }
    // Empty when the server lets everyone in.
    [[nodiscard]] const std::string& AuthorityFile() const { return authorityFile_; }
    // What a program needs to reach this desktop.
    [[nodiscard]] Process::Environment Environment() const;

    // Starts the window manager, after ending the one running, if any: at
    // once, as a session's autostart does, or waiting until it takes
    // windows on.
    void StartWindowManager(const WindowManager& windowManager, bool waitUntilReady);
    // Waits until the window manager maps and manages a window of its own
    // making; throws if it does not within the limit.
    void WaitForWindowManager() const;
    [[nodiscard]] std::string WindowManagerOutput() const;
    // Ends the X server at once, as a crash would.
    void KillServer();

private:
    void StartServer(const DisplaySetup& setup);
    void StartSessionBus();
    [[nodiscard]] Process::Environment SessionEnvironment() const;

    std::filesystem::path home_;
    std::string display_;
    std::string authorityFile_;
    std::string windowManagerName_;
    std::string sessionBusAddress_;
    std::unique_ptr<Process> server_;
    std::unique_ptr<Process> sessionBus_;
    std::unique_ptr<Process> windowManager_;
};

}  // namespace desktop
