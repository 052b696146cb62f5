#include "tests/desktop/sway_session.h"

#include <pwd.h>
#include <unistd.h>
#include <csignal>

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace desktop {
namespace {

using testing_support::WaitUntil;

constexpr auto kStart = std::chrono::seconds(20);
constexpr auto kAnswer = std::chrono::seconds(10);

// The tree's window with the app id (and pid, when one is given), one field a line.
std::string TreeQuery(const std::string& appId, int pid) {
    std::string select = "select(.app_id? == \"" + appId + "\"";
    if (pid != 0) {
        select += " and .pid == " + std::to_string(pid);
    }
    return "swaymsg -t get_tree | jq -r '[.. | objects | " + select +
           ")] | .[0] // empty | [.shell, .name, .rect.x, .rect.y, .rect.width, .rect.height, .window_rect.x, "
           ".window_rect.y, .window_rect.width, .window_rect.height, .pid] | map(tostring) | join(\"\\n\")'";
}

}  // namespace

SwaySession::SwaySession(int width, int height, int scale) : user_(getuid() == 0 ? kWaylandTestUser : "") {
    std::string pattern = "/tmp/pentagram-wayland-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot make a runtime folder for sway");
    }
    runtime_ = pattern;
    std::ofstream(runtime_ / "config") << "output HEADLESS-1 resolution " << width << "x" << height << " scale "
                                       << scale << "\nxwayland disable\n";
    if (!user_.empty()) {
        const passwd* account = getpwnam(user_.c_str());
        if (account == nullptr) {
            throw std::runtime_error("no user " + user_ + ": make it with scripts/install-deps.sh --test");
        }
        for (const auto& path : {runtime_, runtime_ / "config"}) {
            if (chown(path.c_str(), account->pw_uid, account->pw_gid) != 0) {
                throw std::runtime_error("cannot give " + path.string() + " to " + user_);
            }
        }
    }
    Process::Environment environment = Environment();
    environment["WLR_BACKENDS"] = "headless";
    environment["WLR_LIBINPUT_NO_DEVICES"] = "1";
    environment["WLR_RENDERER"] = "pixman";
    sway_ = std::make_unique<Process>(std::vector<std::string>{"sway", "-c", (runtime_ / "config").string()},
                                      environment, user_);
    const bool ready = WaitUntil(
        [&] {
            for (const auto& entry : std::filesystem::directory_iterator(runtime_)) {
                const std::string name = entry.path().filename().string();
                if (name.starts_with("wayland-") && !name.ends_with(".lock")) {
                    socket_ = name;
                } else if (name.starts_with("sway-ipc.")) {
                    ipc_ = entry.path().string();
                }
            }
            return (!socket_.empty() && !ipc_.empty() && !Run({"swaymsg", "-t", "get_version"}).empty()) ||
                   !sway_->Running();
        },
        kStart);
    if (!ready || !sway_->Running()) {
        throw std::runtime_error("sway did not start: " + sway_->Stderr());
    }
}

SwaySession::~SwaySession() {
    pointer_.reset();
    sway_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(runtime_, ignored);
}

Process::Environment SwaySession::Environment() const {
    return {{"XDG_RUNTIME_DIR", runtime_.string()},
            {"HOME", runtime_.string()},
            {"WAYLAND_DISPLAY", socket_.empty() ? std::nullopt : std::optional(socket_)},
            {"SWAYSOCK", ipc_.empty() ? std::nullopt : std::optional(ipc_)},
            {"DISPLAY", std::nullopt},
            {"LC_ALL", "C"}};
}

std::string SwaySession::Reachable(const std::string& program) const {
    const auto copy = runtime_ / std::filesystem::path(program).filename();
    if (!std::filesystem::exists(copy)) {
        std::filesystem::copy_file(program, copy);
        std::filesystem::permissions(copy, std::filesystem::perms::all & ~std::filesystem::perms::others_write &
                                               ~std::filesystem::perms::group_write);
    }
    return copy.string();
}

std::unique_ptr<Process> SwaySession::Start(const std::vector<std::string>& argv, const Process::Environment& extra) {
    Process::Environment environment = Environment();
    for (const auto& [name, value] : extra) {
        environment[name] = value;
    }
    return std::make_unique<Process>(argv, environment, user_);
}

std::string SwaySession::Run(const std::vector<std::string>& argv) {
    Process command(argv, Environment(), user_);
    const auto status = command.WaitExit(kAnswer);
    return status == 0 ? command.Stdout() : "";
}

std::string SwaySession::Command(const std::string& command) { return Run({"swaymsg", command}); }

std::optional<SwayWindow> SwaySession::FindWindow(const std::string& appId, int pid) {
    std::istringstream fields(Run({"sh", "-c", TreeQuery(appId, pid)}));
    SwayWindow window;
    if (!std::getline(fields, window.shell) || !std::getline(fields, window.title)) {
        return std::nullopt;
    }
    window.appId = appId;
    Rect within;
    fields >> window.container.x >> window.container.y >> window.container.width >> window.container.height >>
        within.x >> within.y >> within.width >> within.height >> window.pid;
    window.content = {window.container.x + within.x, window.container.y + within.y, within.width, within.height};
    return fields ? std::optional(window) : std::nullopt;
}

Picture SwaySession::Capture(const Rect& area) {
    const std::string geometry = std::to_string(area.x) + "," + std::to_string(area.y) + " " +
                                 std::to_string(area.width) + "x" + std::to_string(area.height);
    return Picture::FromPng(Run({"grim", "-g", geometry, "-"}));
}

void SwaySession::GivePointer() {
    pointer_ = Start({Reachable(PENTAGRAM_VIRTUAL_POINTER)});
    if (!WaitUntil([&] { return pointer_->Stdout().starts_with("ready") || !pointer_->Running(); }, kAnswer) ||
        !pointer_->Running()) {
        throw std::runtime_error("the virtual pointer did not start: " + pointer_->Stderr());
    }
}

void SwaySession::Click(int x, int y) {
    Command("seat seat0 cursor set " + std::to_string(x) + " " + std::to_string(y));
    Command("seat seat0 cursor press button1");
    Command("seat seat0 cursor release button1");
}

void SwaySession::Kill() { sway_->Signal(SIGKILL); }

}  // namespace desktop
