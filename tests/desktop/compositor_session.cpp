#include "tests/desktop/compositor_session.h"

#include <pwd.h>
#include <unistd.h>

#include <stdexcept>

namespace desktop {

std::filesystem::path MakeRuntimeFolder(const std::string& user) {
    std::string pattern = "/tmp/pentagram-wayland-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot make a runtime folder for the compositor");
    }
    GiveTo(user, pattern);
    return pattern;
}

void GiveTo(const std::string& user, const std::filesystem::path& path) {
    if (user.empty()) {
        return;
    }
    const passwd* account = getpwnam(user.c_str());
    if (account == nullptr) {
        throw std::runtime_error("no user " + user + ": make it with scripts/install-deps.sh --test");
    }
    if (chown(path.c_str(), account->pw_uid, account->pw_gid) != 0) {
        throw std::runtime_error("cannot give " + path.string() + " to " + user);
    }
}

std::string CopyInto(const std::filesystem::path& folder, const std::string& program) {
    const auto copy = folder / std::filesystem::path(program).filename();
    if (!std::filesystem::exists(copy)) {
        std::filesystem::copy_file(program, copy);
        std::filesystem::permissions(copy, std::filesystem::perms::all & ~std::filesystem::perms::others_write &
                                               ~std::filesystem::perms::group_write);
    }
    return copy.string();
}

}  // namespace desktop
