#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

// Programs the tests start and watch, and bounded waiting for what they do.
namespace testing_support {

using Clock = std::chrono::steady_clock;

// A new empty file under /tmp, for a child to write to.
std::string ScratchFile(const char* stem);

// Polls until the condition holds or the time is up; true if it held.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit);

// A child process in a process group of its own; the group is killed and
// the child reaped when this goes out of scope.
class Process {
public:
    // Variables set (or, without a value, unset) on top of this process's own.
    using Environment = std::map<std::string, std::optional<std::string>>;

    // With a user, the child runs as that user (the caller being root);
    // its output files are opened before it becomes the user.
    Process(const std::vector<std::string>& argv, const Environment& env, const std::string& user = "");
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    [[nodiscard]] pid_t Pid() const { return pid_; }
    // The exit status once the process has ended of itself within the limit;
    // -1 when a signal ended it.
    std::optional<int> WaitExit(std::chrono::milliseconds limit);
    [[nodiscard]] bool Running();
    void Signal(int signal) const;
    // Its largest resident memory, in kB, once it has ended; 0 before.
    [[nodiscard]] long PeakResidentKilobytes() const { return peakKilobytes_; }
    // What the process wrote to stdout and stderr so far.
    [[nodiscard]] std::string Stdout() const;
    [[nodiscard]] std::string Stderr() const;

private:
    pid_t pid_ = -1;
    std::optional<int> status_;
    long peakKilobytes_ = 0;
    std::string stdoutPath_;
    std::string stderrPath_;
};

}  // namespace testing_support
