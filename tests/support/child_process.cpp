#include "tests/support/child_process.h"

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace testing_support {
namespace {

constexpr auto kPoll = std::chrono::milliseconds(10);

}  // namespace

std::string ScratchFile(const char* stem) {
    std::string pattern = std::string("/tmp/pentagram-") + stem + "-XXXXXX";
    const int fd = mkstemp(pattern.data());
    if (fd < 0) {
        throw std::runtime_error("cannot make a scratch file: " + std::string(std::strerror(errno)));
    }
    close(fd);
    return pattern;
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    const auto deadline = Clock::now() + limit;
    for (;;) {
        if (condition()) {
            return true;
        }
        if (Clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(kPoll);
    }
}

Process::Process(const std::vector<std::string>& argv, const Environment& env, const std::string& user)
    : stdoutPath_(ScratchFile("stdout")), stderrPath_(ScratchFile("stderr")) {
    // Looked up before the fork: the child only switches.
    const passwd* account = user.empty() ? nullptr : getpwnam(user.c_str());
    if (!user.empty() && account == nullptr) {
        throw std::runtime_error("no user " + user + " to run " + argv.front() + " as");
    }
    const uid_t uid = account != nullptr ? account->pw_uid : 0;
    const gid_t gid = account != nullptr ? account->pw_gid : 0;
    pid_ = fork();
    if (pid_ < 0) {
        throw std::runtime_error("cannot fork: " + std::string(std::strerror(errno)));
    }
    if (pid_ == 0) {
        // A group of its own, so that what it starts goes with it.
        setpgid(0, 0);
        for (const auto& [name, value] : env) {
            if (value) {
                setenv(name.c_str(), value->c_str(), 1);
            } else {
                unsetenv(name.c_str());
            }
        }
        const int out = open(stdoutPath_.c_str(), O_WRONLY | O_TRUNC);
        const int err = open(stderrPath_.c_str(), O_WRONLY | O_TRUNC);
        const int nothing = open("/dev/null", O_RDWR);
        dup2(nothing, STDIN_FILENO);
        dup2(out, STDOUT_FILENO);
        dup2(err, STDERR_FILENO);
        if (account != nullptr && (setgroups(0, nullptr) != 0 || setgid(gid) != 0 || setuid(uid) != 0)) {
            std::fprintf(stderr, "cannot become %s: %s\n", user.c_str(), std::strerror(errno));
            _exit(126);
        }
        std::vector<char*> args;
        args.reserve(argv.size() + 1);
        for (const auto& arg : argv) {
            args.push_back(const_cast<char*>(arg.c_str()));
        }
        args.push_back(nullptr);
        execvp(args[0], args.data());
        std::fprintf(stderr, "cannot start %s: %s\n", args[0], std::strerror(errno));
        _exit(127);
    }
}

Process::~Process() {
    // Its helpers too, such as the D-Bus daemon of a session it runs.
    kill(-pid_, SIGKILL);
    if (Running()) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    std::remove(stdoutPath_.c_str());
    std::remove(stderrPath_.c_str());
}

bool Process::Running() {
    if (status_) {
        return false;
    }
    int raw = 0;
    rusage usage{};
    if (wait4(pid_, &raw, WNOHANG, &usage) == pid_) {
        status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        peakKilobytes_ = usage.ru_maxrss;
        return false;
    }
    return true;
}

std::optional<int> Process::WaitExit(std::chrono::milliseconds limit) {
    WaitUntil([this] { return !Running(); }, limit);
    return status_;
}

void Process::Signal(int signal) const { kill(pid_, signal); }

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

std::string Process::Stdout() const { return ReadFile(stdoutPath_); }

std::string Process::Stderr() const { return ReadFile(stderrPath_); }

}  // namespace testing_support
