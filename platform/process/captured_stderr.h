#pragma once

#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>

namespace platform {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// Catches what the libraries below write to stderr while it lives (POSIX): Xlib
// writes a refusing server's reason there rather than returning it, and the
// program's report is to be its own one line, with that reason in it.
class CapturedStderr {
public:
    CapturedStderr() : scratch_(std::tmpfile()) {
        std::fflush(stderr);
        saved_ = dup(STDERR_FILENO);
        if (scratch_ && saved_ >= 0) {
            dup2(fileno(scratch_.get()), STDERR_FILENO);
        }
    }
    ~CapturedStderr() { Restore(); }
    CapturedStderr(const CapturedStderr&) = delete;
    CapturedStderr& operator=(const CapturedStderr&) = delete;

    // What was written, with the line ends taken out.
    std::string Text() {
        Restore();
        std::string text;
        if (!scratch_) {
            return text;
        }
        std::rewind(scratch_.get());
        for (int c = 0; (c = std::fgetc(scratch_.get())) != EOF;) {
            text += (c == '\n') ? ' ' : static_cast<char>(c);
        }
        while (!text.empty() && text.back() == ' ') {
            text.pop_back();
        }
        return text;
    }

private:
    void Restore() {
        if (saved_ >= 0) {
            std::fflush(stderr);
            dup2(saved_, STDERR_FILENO);
            close(saved_);
            saved_ = -1;
        }
    }

    std::unique_ptr<std::FILE, FileCloser> scratch_;
    int saved_ = -1;
};

}  // namespace platform
