#include "tests/desktop/virtual_desktop.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <csignal>

#include <cstdio>
#include <fstream>
#include <random>
#include <stdexcept>
#include <thread>
#include <vector>

namespace desktop {
namespace {

constexpr auto kServerStart = std::chrono::seconds(20);
constexpr auto kWindowManagerStart = std::chrono::seconds(30);
constexpr auto kProbeRemap = std::chrono::milliseconds(250);

// An X authority file with one cookie that serves every display.
std::string WriteAuthorityFile() {
    std::string path = ScratchFile("xauthority");
    std::string entry;
    const auto field = [&entry](const std::string& bytes) {
        entry += static_cast<char>((bytes.size() >> 8) & 0xFF);
        entry += static_cast<char>(bytes.size() & 0xFF);
        entry += bytes;
    };
    entry += "\xff\xff";  // FamilyWild: any address
    field("");            // address
    field("");            // display number: any
    field("MIT-MAGIC-COOKIE-1");
    std::random_device random;
    std::string cookie;
    for (int i = 0; i < 16; ++i) {
        cookie += static_cast<char>(random() & 0xFFU);
    }
    field(cookie);
    std::ofstream(path, std::ios::binary) << entry;
    return path;
}

// A home of the desktop's own: window managers write their settings there.
std::filesystem::path MakeHome() {
    std::string pattern = "/tmp/pentagram-home-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot make a home for the desktop");
    }
    std::filesystem::path home(pattern);
    for (const char* folder : {".config/i3", ".fluxbox", ".cache", ".local/share", "runtime"}) {
        std::filesystem::create_directories(home / folder);
    }
    std::filesystem::permissions(home / "runtime", std::filesystem::perms::owner_all);
    // i3 without a configuration runs its first-start wizard instead.
    std::ofstream(home / ".config/i3/config") << "# i3 config file (v4)\nfont pango:monospace 8\n";
    // fluxbox leaves the root window alone. Its style's wallpaper, or with
    // "background: none" the last one it set, would go through fbsetbg,
    // which finds no wallpaper setter here and says so in a message box in
    // front of the program's window.
    std::ofstream(home / ".fluxbox/overlay") << "background: unset\n";
    return home;
}

struct DisplayCloser {
    void operator()(::Display* display) const { XCloseDisplay(display); }
};

bool Managed(::Display* display, ::Window window) {
    const Atom wmState = XInternAtom(display, "WM_STATE", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(display, window, wmState, 0, 2, False, wmState, &type, &format, &count, &after, &data);
    const bool managed = data != nullptr && count > 0 && reinterpret_cast<const long*>(data)[0] != 0;
    if (data != nullptr) {
        XFree(data);
    }
    return managed;
}

}  // namespace

VirtualDesktop::VirtualDesktop(const DisplaySetup& setup, const WindowManager* windowManager) : home_(MakeHome()) {
    StartServer(setup);
    StartSessionBus();
    if (windowManager != nullptr) {
        StartWindowManager(*windowManager, true);
    }
}

VirtualDesktop::~VirtualDesktop() {
    windowManager_.reset();
    sessionBus_.reset();
    server_.reset();
    if (!authorityFile_.empty()) {
        std::remove(authorityFile_.c_str());
    }
    std::error_code ignored;
    std::filesystem::remove_all(home_, ignored);
}

void VirtualDesktop::StartServer(const DisplaySetup& setup) {
    if (setup.withAuthority) {
        authorityFile_ = WriteAuthorityFile();
        // Xlib reads the authority file's name from the environment as it connects.
        setenv("XAUTHORITY", authorityFile_.c_str(), 1);
    }
    // Xvfb picks a free display number and writes it to the file; the file
    // is a pipe so that we can wait for the server to be ready.
    int pipeFds[2];
    if (pipe(pipeFds) != 0) {
        throw std::runtime_error("cannot make a pipe for Xvfb");
    }
    const std::string screen =
        std::to_string(setup.width) + "x" + std::to_string(setup.height) + "x" + std::to_string(setup.depth);
    std::vector<std::string> serverArgs{
        "Xvfb", "-displayfd", std::to_string(pipeFds[1]), "-screen", "0", screen, "-nolisten", "tcp", "-noreset"};
    if (setup.withAuthority) {
        serverArgs.insert(serverArgs.end(), {"-auth", authorityFile_});
    }
    if (!setup.sharedMemory) {
        serverArgs.insert(serverArgs.end(), {"-extension", "MIT-SHM"});
    }
    server_ = std::make_unique<Process>(serverArgs, Process::Environment{});
    close(pipeFds[1]);
    fcntl(pipeFds[0], F_SETFL, O_NONBLOCK);
    std::string number;
    WaitUntil(
        [&] {
            char buffer[32];
            const ssize_t got = read(pipeFds[0], buffer, sizeof buffer);
            if (got > 0) {
                number.append(buffer, static_cast<std::size_t>(got));
            }
            return number.find('\n') != std::string::npos || !server_->Running();
        },
        kServerStart);
    close(pipeFds[0]);
    if (number.find('\n') == std::string::npos) {
        throw std::runtime_error("Xvfb did not start: " + server_->Stderr());
    }
    display_ = ":" + number.substr(0, number.find('\n'));
    if (setup.xftDpi) {
        // What xrdb leaves on the root window, and toolkits read as they connect.
        const std::unique_ptr<::Display, DisplayCloser> display(XOpenDisplay(display_.c_str()));
        if (!display) {
            throw std::runtime_error("cannot connect to " + display_);
        }
        const std::string resources = "Xft.dpi:\t" + std::to_string(*setup.xftDpi) + "\n";
        XChangeProperty(display.get(), DefaultRootWindow(display.get()), XA_RESOURCE_MANAGER, XA_STRING, 8,
                        PropModeReplace, reinterpret_cast<const unsigned char*>(resources.data()),
                        static_cast<int>(resources.size()));
        XSync(display.get(), False);
    }
}

// The desktop's own session bus, shared by its window manager and programs
// as in a desktop session. Without one, the first program on the display
// that asks for a bus has D-Bus launch one for the display, and that bus
// outlives the display: a test run would leave a daemon behind per desktop.
void VirtualDesktop::StartSessionBus() {
    const std::filesystem::path socket = home_ / "bus";
    sessionBusAddress_ = "unix:path=" + socket.string();
    // What it starts on request (a window manager's helpers) belongs to the session too.
    sessionBus_ = std::make_unique<Process>(std::vector<std::string>{"dbus-daemon", "--session", "--nofork",
                                                                     "--nopidfile", "--address=" + sessionBusAddress_},
                                            SessionEnvironment());
    if (!WaitUntil([&] { return std::filesystem::exists(socket) || !sessionBus_->Running(); }, kServerStart) ||
        !sessionBus_->Running()) {
        throw std::runtime_error("the session bus did not start: " + sessionBus_->Stderr());
    }
}

Process::Environment VirtualDesktop::Environment() const {
    Process::Environment environment{{"DISPLAY", display_}, {"DBUS_SESSION_BUS_ADDRESS", sessionBusAddress_}};
    if (!authorityFile_.empty()) {
        environment["XAUTHORITY"] = authorityFile_;
    }
    return environment;
}

// The desktop session's own: its display and bus, and a home of its own.
Process::Environment VirtualDesktop::SessionEnvironment() const {
    Process::Environment environment = Environment();
    environment["HOME"] = home_.string();
    environment["XDG_CONFIG_HOME"] = (home_ / ".config").string();
    environment["XDG_CACHE_HOME"] = (home_ / ".cache").string();
    environment["XDG_DATA_HOME"] = (home_ / ".local/share").string();
    environment["XDG_RUNTIME_DIR"] = (home_ / "runtime").string();
    environment["WAYLAND_DISPLAY"] = std::nullopt;
    return environment;
}

void VirtualDesktop::StartWindowManager(const WindowManager& windowManager, bool waitUntilReady) {
    windowManager_.reset();
    windowManagerName_ = windowManager.name;
    windowManager_ = std::make_unique<Process>(windowManager.command, SessionEnvironment());
    if (waitUntilReady) {
        WaitForWindowManager();
    }
}

// A window of the test's own, mapped (and asked again, for a window manager
// that loses requests while it starts) until the window manager manages it.
void VirtualDesktop::WaitForWindowManager() const {
    const std::unique_ptr<::Display, DisplayCloser> display(XOpenDisplay(display_.c_str()));
    if (!display) {
        throw std::runtime_error("cannot connect to " + display_);
    }
    const ::Window probe = XCreateSimpleWindow(display.get(), DefaultRootWindow(display.get()), 0, 0, 10, 10, 0, 0, 0);
    // Placed by the program, so that no window manager asks a person where.
    XSizeHints hints{};
    hints.flags = USPosition | USSize;
    XSetWMNormalHints(display.get(), probe, &hints);
    bool managed = false;
    for (const auto end = Clock::now() + kWindowManagerStart; !managed && Clock::now() < end;) {
        if (!windowManager_->Running()) {
            break;
        }
        XMapWindow(display.get(), probe);
        XSync(display.get(), False);
        managed = WaitUntil([&] { return Managed(display.get(), probe); },
                            std::chrono::duration_cast<std::chrono::milliseconds>(kProbeRemap));
    }
    XDestroyWindow(display.get(), probe);
    XSync(display.get(), False);
    if (!managed) {
        throw std::runtime_error(windowManagerName_ + " did not take a window on: " + WindowManagerOutput());
    }
}

std::string VirtualDesktop::WindowManagerOutput() const {
    return windowManager_ ? windowManager_->Stdout() + windowManager_->Stderr() : "";
}

void VirtualDesktop::KillServer() { server_->Signal(SIGKILL); }

}  // namespace desktop
