#pragma once

#include <csignal>

namespace platform {

// SIGINT and SIGTERM as requests to close the program's window, like the
// close button, instead of ending the process wherever it happens to be:
// while this lives they are held back and can be waited for beside the
// window system's events. Made first thing, before any thread starts, so
// that every thread holds them back.
class TerminationSignals {
public:
    // Throws a run-time error if the signals cannot be watched.
    TerminationSignals();
    ~TerminationSignals();
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    // A descriptor that polls readable once a signal has come.
    [[nodiscard]] int Descriptor() const { return descriptor_; }
    // True once SIGINT or SIGTERM has come; does not wait.
    [[nodiscard]] bool Arrived();

private:
    int descriptor_ = -1;
    bool arrived_ = false;
    sigset_t savedMask_{};  // what was held back before
};

}  // namespace platform
