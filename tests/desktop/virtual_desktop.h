#pragma once

#include <memory>
#include <string>

#include "tests/support/child_process.h"

namespace desktop {

using testing_support::Clock;
using testing_support::Process;
using testing_support::ScratchFile;
using testing_support::WaitUntil;

// Xvfb on a display number of its own choosing, and openbox on it.
class VirtualDesktop {
public:
    // With an authority file, the server lets in only clients that have it.
    VirtualDesktop(int width, int height, bool withAuthority = false);
    ~VirtualDesktop();
    VirtualDesktop(const VirtualDesktop&) = delete;
    VirtualDesktop& operator=(const VirtualDesktop&) = delete;

    [[nodiscard]] const std::string& Display() const { return display_; }
    // Empty when the server lets everyone in.
    [[nodiscard]] const std::string& AuthorityFile() const { return authorityFile_; }
    // Ends the X server at once, as a crash would.
    void KillServer();

private:
    std::string display_;
    std::string authorityFile_;
    std::unique_ptr<Process> server_;
    std::unique_ptr<Process> windowManager_;
};

}  // namespace desktop
