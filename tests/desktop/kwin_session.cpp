#include "tests/desktop/kwin_session.h"

#include <unistd.h>
#include <csignal>

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace desktop {
namespace {

using testing_support::WaitUntil;

constexpr auto kStart = std::chrono::seconds(30);
constexpr auto kAnswer = std::chrono::seconds(10);
constexpr const char* kSocket = "pentagram-kwin";

// What a script says, among the rest of what kwin writes: "js: " and its
// words. The scripts print tab-separated fields, a window a line.
constexpr const char* kSaid = "js: pentagram-test ";

// A window, as the scripts print it: app id, title, pid, then the frame, the
// window's own surface, the area a maximised frame fills, and its focus.
constexpr const char* kPrintWindow = R"(
const rect = (r) => [r.x, r.y, r.width, r.height].join(" ");
const say = (window) => print("pentagram-test " + [window.resourceClass, window.caption, window.pid,
    rect(window.frameGeometry), rect(window.bufferGeometry),
    rect(workspace.clientArea(KWin.MaximizeArea, window)), window.active].join("\t"));
const find = (test) => workspace.clientList().filter(test);
)";

Rect ReadRect(std::istream& in) {
    Rect rect;
    in >> rect.x >> rect.y >> rect.width >> rect.height;
    return rect;
}

}  // namespace

KwinSession::KwinSession(int width, int height, double scale) : user_(getuid() == 0 ? kWaylandTestUser : "") {
    runtime_ = MakeRuntimeFolder(user_);
    bus_ = "unix:path=" + (runtime_ / "bus").string();
    sessionBus_ = std::make_unique<Process>(
        std::vector<std::string>{"dbus-daemon", "--session", "--nofork", "--nopidfile", "--address=" + bus_},
        Environment(), user_);
    if (!WaitUntil([&] { return std::filesystem::exists(runtime_ / "bus") || !sessionBus_->Running(); }, kStart)) {
        throw std::runtime_error("kwin's session bus did not start: " + sessionBus_->Stderr());
    }
    // Debian's kwin_wayland carries a file capability, and a process that
    // may not gain one cannot run it: a copy, of the same name, has none.
    Process::Environment environment = Environment();
    environment["KWIN_WAYLAND_NO_PERMISSION_CHECKS"] = "1";
    environment["KWIN_COMPOSE"] = "Q";
    std::ostringstream scaleText;
    scaleText << scale;
    kwin_ = std::make_unique<Process>(
        std::vector<std::string>{CopyInto(runtime_, "/usr/bin/kwin_wayland"), "--virtual", "--width",
                                 std::to_string(width), "--height", std::to_string(height), "--scale", scaleText.str(),
                                 "--socket", kSocket},
        environment, user_);
    // Its scripting interface is among the last things kwin sets up.
    const auto answers = [&] {
        Process asked({"dbus-send", "--session", "--print-reply", "--dest=org.kde.KWin", "/Scripting",
                       "org.kde.kwin.Scripting.isScriptLoaded", "string:none"},
                      Environment(), user_);
        return asked.WaitExit(kAnswer) == 0;
    };
    if (!WaitUntil([&] { return (std::filesystem::exists(runtime_ / kSocket) && answers()) || !kwin_->Running(); },
                   kStart) ||
        !kwin_->Running()) {
        throw std::runtime_error("kwin_wayland did not start headless: " + kwin_->Stderr());
    }
}

KwinSession::~KwinSession() {
    kwin_.reset();
    sessionBus_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(runtime_, ignored);
}

Process::Environment KwinSession::Environment() const {
    return {{"XDG_RUNTIME_DIR", runtime_.string()}, {"HOME", runtime_.string()}, {"DBUS_SESSION_BUS_ADDRESS", bus_},
            {"WAYLAND_DISPLAY", kSocket},           {"DISPLAY", std::nullopt},   {"LC_ALL", "C"}};
}

std::string KwinSession::Reachable(const std::string& program) const { return CopyInto(runtime_, program); }

std::unique_ptr<Process> KwinSession::Start(const std::vector<std::string>& argv, const Process::Environment& extra) {
    Process::Environment environment = Environment();
    for (const auto& [name, value] : extra) {
        environment[name] = value;
    }
    return std::make_unique<Process>(argv, environment, user_);
}

// Each script has a name of its own, is loaded through kwin's scripting
// interface, run, and unloaded once it has said it is done.
std::vector<std::string> KwinSession::Script(const std::string& body) {
    const std::string name = "pentagram-test-" + std::to_string(++scripts_);
    const auto path = runtime_ / (name + ".js");
    std::ofstream(path) << kPrintWindow << body << "\nprint(\"pentagram-test done " << name << "\");\n";
    GiveTo(user_, path);
    const auto call = [&](const std::vector<std::string>& words) {
        std::vector<std::string> argv{"dbus-send", "--session", "--print-reply", "--dest=org.kde.KWin"};
        argv.insert(argv.end(), words.begin(), words.end());
        Process command(argv, Environment(), user_);
        if (command.WaitExit(kAnswer) != 0) {
            throw std::runtime_error("kwin did not answer " + words[1] + ": " + command.Stderr());
        }
        return command.Stdout();
    };
    std::istringstream loaded(
        call({"/Scripting", "org.kde.kwin.Scripting.loadScript", "string:" + path.string(), "string:" + name}));
    std::string word;
    int id = -1;
    while (loaded >> word) {
        if (word == "int32") {
            loaded >> id;
        }
    }
    if (id < 0) {
        throw std::runtime_error("kwin did not load the script " + name);
    }
    const std::size_t before = kwin_->Stderr().size();
    (void)call({"/" + std::to_string(id), "org.kde.kwin.Script.run"});
    const std::string done = "pentagram-test done " + name;
    std::string said;
    const bool finished = WaitUntil(
        [&] {
            said = kwin_->Stderr().substr(before);
            return said.find(done) != std::string::npos || said.find(path.string() + ":") != std::string::npos;
        },
        kAnswer);
    (void)call({"/Scripting", "org.kde.kwin.Scripting.unloadScript", "string:" + name});
    if (!finished || said.find(done) == std::string::npos) {
        throw std::runtime_error("kwin's script " + name + " did not finish: " + said);
    }
    std::vector<std::string> lines;
    std::istringstream text(said);
    for (std::string line; std::getline(text, line);) {
        if (const auto at = line.find(kSaid); at != std::string::npos && line.find(done) == std::string::npos) {
            lines.push_back(line.substr(at + std::string(kSaid).size()));
        }
    }
    return lines;
}

std::optional<Toplevel> KwinSession::FindToplevel(const std::string& appId, int pid) {
    const auto lines = Script("find((w) => w.resourceClass == \"" + appId + "\" && (" + std::to_string(pid) +
                              " == 0 || w.pid == " + std::to_string(pid) + ")).forEach(say);");
    if (lines.empty()) {
        return std::nullopt;
    }
    std::istringstream fields(lines.front());
    Toplevel window;
    std::string pidText;
    if (!std::getline(fields, window.appId, '\t') || !std::getline(fields, window.title, '\t') ||
        !std::getline(fields, pidText, '\t')) {
        return std::nullopt;
    }
    window.pid = std::stoi(pidText);
    window.frame = ReadRect(fields);
    window.content = ReadRect(fields);
    window.area = ReadRect(fields);
    fields >> std::boolalpha >> window.focused;
    return fields ? std::optional(window) : std::nullopt;
}

void KwinSession::Restore(int pid) {
    (void)Script("find((w) => w.pid == " + std::to_string(pid) + ").forEach((w) => w.setMaximize(false, false));");
}

void KwinSession::Focus(const std::string& appId) {
    (void)Script("find((w) => w.resourceClass == \"" + appId + "\").forEach((w) => workspace.activeClient = w);");
}

void KwinSession::Close(int pid) {
    (void)Script("find((w) => w.pid == " + std::to_string(pid) + ").forEach((w) => w.closeWindow());");
}

void KwinSession::Click(int x, int y) { FakeInput("click", x, y); }

void KwinSession::Tap(int x, int y) { FakeInput("tap", x, y); }

void KwinSession::FakeInput(const std::string& what, int x, int y) {
    Process input({Reachable(PENTAGRAM_FAKE_INPUT), what, std::to_string(x), std::to_string(y)}, Environment(), user_);
    if (input.WaitExit(kAnswer) != 0) {
        throw std::runtime_error("the " + what + " did not reach kwin: " + input.Stderr());
    }
}

void KwinSession::Hide(int pid) {
    (void)Script("find((w) => w.pid == " + std::to_string(pid) + ").forEach((w) => w.minimized = true);");
}

void KwinSession::Unhide(int pid) {
    (void)Script("find((w) => w.pid == " + std::to_string(pid) + ").forEach((w) => w.minimized = false);");
}

void KwinSession::Kill() { kwin_->Signal(SIGKILL); }

}  // namespace desktop
