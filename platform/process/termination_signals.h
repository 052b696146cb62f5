#pragma once

#include <csignal>

#include "platform/window/close_signals.h"

namespace platform {

// SIGINT and SIGTERM as requests to close the program's window, like the
// close button, instead of ending the process wherever it happens to be:
// while this lives they are held back and can be waited for beside the
// window system's events. Made first thing, before any thread starts, so
// that every thread holds them back.
class TerminationSignals final : public CloseSignals {
public:
    // Throws a run-time error if the signals cannot be watched.
    TerminationSignals();
    ~TerminationSignals() override;
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    [[nodiscard]] int Descriptor() const override { return descriptor_; }
    [[nodiscard]] bool Arrived() override;

private:
    int descriptor_ = -1;
    bool arrived_ = false;
    sigset_t savedMask_{};  // what was held back before
};

}  // namespace platform
