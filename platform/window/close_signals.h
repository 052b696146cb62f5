#pragma once

namespace platform {

// Requests to close the window that come from beside the window system
// (SIGINT and SIGTERM on Linux), answered as the close button is.
class CloseSignals {
public:
    CloseSignals() = default;
    virtual ~CloseSignals() = default;
    CloseSignals(const CloseSignals&) = delete;
    CloseSignals& operator=(const CloseSignals&) = delete;

    // Readable once a request has come, so that it ends the window's waits.
    [[nodiscard]] virtual int Descriptor() const = 0;
    // True when a request has come since it was last asked; does not wait.
    [[nodiscard]] virtual bool Arrived() = 0;
};

}  // namespace platform
