#include "tools/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/run_time_error.h"

namespace tools {
namespace {

[[noreturn]] void Fail(const std::string& path, int error, const std::string& partial) {
    if (!partial.empty()) {
        unlink(partial.c_str());
    }
    throw platform::RunTimeError("cannot write " + path, std::strerror(error));
}

}  // namespace

void WriteWholeFile(const std::string& path, std::string_view bytes) {
    std::string partial = path + ".partial-XXXXXX";
    const int fd = mkstemp(partial.data());
    if (fd < 0) {
        Fail(path, errno, "");
    }
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t wrote = write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR) {
            continue;
        }
        if (wrote < 0) {
            const int error = errno;
            close(fd);
            Fail(path, error, partial);
        }
        done += static_cast<std::size_t>(wrote);
    }
    // mkstemp makes the file private; give it the mode any new file gets.
    const mode_t mask = umask(0);
    umask(mask);
    if (fchmod(fd, 0666 & ~mask) != 0 || fsync(fd) != 0) {
        const int error = errno;
        close(fd);
        Fail(path, error, partial);
    }
    if (close(fd) != 0) {
        Fail(path, errno, partial);
    }
    if (std::rename(partial.c_str(), path.c_str()) != 0) {
        Fail(path, errno, partial);
    }
}

}  // namespace tools
