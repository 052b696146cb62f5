#include "tests/desktop/sway_session.h"

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
           ".window_rect.y, .window_rect.width, .window_rect.height, .deco_rect.height, .pid, .focused] | "
           "map(tostring) | "
           "join(\"\\n\")'";
}

}  // namespace

SwaySession::SwaySession(int width, int height, int scale)
    : user_(getuid() == 0 ? kWaylandTestUser : ""), width_(width / scale), height_(height / scale) {
    runtime_ = MakeRuntimeFolder(user_);
    std::ofstream(runtime_ / "config") << "output HEADLESS-1 resolution " << width << "x" << height << " scale "
                                       << scale << "\nxwayland disable\n";
    GiveTo(user_, runtime_ / "config");
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

std::string SwaySession::Reachable(const std::string& program) const { return CopyInto(runtime_, program); }

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
        within.x >> within.y >> within.width >> within.height >> window.titleBar >> window.pid >> std::boolalpha >>
        window.focused;
    window.content = {window.container.x + within.x, window.container.y + within.y, within.width, within.height};
    return fields ? std::optional(window) : std::nullopt;
}

Picture SwaySession::Screenshot(const Rect& area) {
    const std::string geometry = std::to_string(area.x) + "," + std::to_string(area.y) + " " +
                                 std::to_string(area.width) + "x" + std::to_string(area.height);
    return Picture::FromPng(Run({"grim", "-g", geometry, "-"}));
}

std::optional<Toplevel> SwaySession::FindToplevel(const std::string& appId, int pid) {
    const auto window = FindWindow(appId, pid);
    if (!window || window->shell != "xdg_shell") {
        return std::nullopt;
    }
    // The first window of a workspace has the whole output for its tile,
    // with sway's title bar above the container.
    const Rect& container = window->container;
    const Rect frame{container.x, container.y - window->titleBar, container.width, container.height + window->titleBar};
    return Toplevel{window->appId,           window->title, frame,          window->content,
                    {0, 0, width_, height_}, window->pid,   window->focused};
}

void SwaySession::Restore(int pid) { Command("[pid=" + std::to_string(pid) + "] floating enable"); }

void SwaySession::Focus(const std::string& appId) { Command("[app_id=" + appId + "] focus"); }

void SwaySession::Close(int pid) { Command("[pid=" + std::to_string(pid) + "] kill"); }

void SwaySession::GivePointer() {
    pointer_ = Start({Reachable(PENTAGRAM_VIRTUAL_POINTER)});
    if (!WaitUntil([&] { return pointer_->Stdout().starts_with("ready") || !pointer_->Running(); }, kAnswer) ||
        !pointer_->Running()) {
        throw std::runtime_error("the virtual pointer did not start: " + pointer_->Stderr());
    }
}

void SwaySession::MovePointer(int x, int y) {
    if (!pointer_) {
        GivePointer();
    }
    Command("seat seat0 cursor set " + std::to_string(x) + " " + std::to_string(y));
}

void SwaySession::Click(int x, int y) {
    MovePointer(x, y);
    Command("seat seat0 cursor press button1");
    Command("seat seat0 cursor release button1");
}

// With a pointer of its own: the layout is the outputs side by side.
void SwaySession::Drag(int fromX, int fromY, int toX, int toY) {
    std::vector<std::string> argv{Reachable(PENTAGRAM_VIRTUAL_POINTER), "drag"};
    for (const int value : {fromX, fromY, toX, toY, width_ * outputs_, height_}) {
        argv.push_back(std::to_string(value));
    }
    auto drag = Start(argv);
    if (drag->WaitExit(kAnswer) != 0) {
        throw std::runtime_error("the virtual pointer did not drag: " + drag->Stderr());
    }
}

void SwaySession::Tap(int /*x*/, int /*y*/) {
    throw std::logic_error("sway offers no fake touchscreen: its row of the table has none");
}

void SwaySession::Hide(int pid) { Command("[pid=" + std::to_string(pid) + "] move scratchpad"); }

void SwaySession::Unhide(int pid) { Command("[pid=" + std::to_string(pid) + "] scratchpad show"); }

std::string SwaySession::AddOutput(int scale) {
    Command("create_output");
    std::string name = "HEADLESS-2";
    Command("output " + name + " resolution " + std::to_string(width_ * scale) + "x" + std::to_string(height_ * scale) +
            " scale " + std::to_string(scale) + " position " + std::to_string(width_) + " 0");
    ++outputs_;
    // Sway lays a new output out where it finds room, moving the first:
    // the first is put back at the origin, and takes the focus back, so
    // that new windows open on it.
    Command("output HEADLESS-1 position 0 0");
    Command("focus output HEADLESS-1");
    return name;
}

void SwaySession::Kill() { sway_->Signal(SIGKILL); }

}  // namespace desktop
