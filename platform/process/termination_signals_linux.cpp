// Linux: the signals are read through a signalfd, which only Linux has.

#include "platform/process/termination_signals.h"

#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "platform/run_time_error.h"

namespace platform {
namespace {

sigset_t Terminations() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    return set;
}

}  // namespace

TerminationSignals::TerminationSignals() {
    const sigset_t terminations = Terminations();
    if (const int error = pthread_sigmask(SIG_BLOCK, &terminations, &savedMask_); error != 0) {
        throw RunTimeError("cannot watch for SIGINT and SIGTERM", std::strerror(error));
    }
    descriptor_ = signalfd(-1, &terminations, SFD_NONBLOCK | SFD_CLOEXEC);
    if (descriptor_ < 0) {
        const std::string why = std::strerror(errno);
        pthread_sigmask(SIG_SETMASK, &savedMask_, nullptr);
        throw RunTimeError("cannot watch for SIGINT and SIGTERM", why);
    }
}

TerminationSignals::~TerminationSignals() {
    close(descriptor_);
    // A signal that has come is being answered by the program's end; let
    // go of the others, so that a later one ends the process as usual.
    if (!arrived_) {
        pthread_sigmask(SIG_SETMASK, &savedMask_, nullptr);
    }
}

bool TerminationSignals::Arrived() {
    bool arrived = false;
    signalfd_siginfo info{};
    while (read(descriptor_, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
        arrived = true;
    }
    arrived_ = arrived_ || arrived;
    return arrived;
}

}  // namespace platform
