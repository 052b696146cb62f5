#include "tests/desktop/virtual_desktop.h"

#include <fcntl.h>
#include <unistd.h>
#include <csignal>

#include <cstdio>
#include <fstream>
#include <random>
#include <stdexcept>
#include <vector>

namespace desktop {
namespace {

constexpr auto kServerStart = std::chrono::seconds(20);

}  // namespace

namespace {

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

}  // namespace

VirtualDesktop::VirtualDesktop(int width, int height, bool withAuthority) {
    if (withAuthority) {
        authorityFile_ = WriteAuthorityFile();
    }
    // Xvfb picks a free display number and writes it to the file; the file
    // is a pipe so that we can wait for the server to be ready.
    int pipeFds[2];
    if (pipe(pipeFds) != 0) {
        throw std::runtime_error("cannot make a pipe for Xvfb");
    }
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    std::vector<std::string> serverArgs{
        "Xvfb", "-displayfd", std::to_string(pipeFds[1]), "-screen", "0", screen, "-nolisten", "tcp", "-noreset"};
    if (withAuthority) {
        serverArgs.insert(serverArgs.end(), {"-auth", authorityFile_});
    }
    server_ = std::make_unique<Process>(serverArgs, std::map<std::string, std::optional<std::string>>{});
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

    // openbox announces itself on the root window before it handles map
    // requests, and a window mapped in between is never taken on. The
    // command it runs once started is the sign that it is ready.
    const std::string readyFile = ScratchFile("openbox-ready");
    std::remove(readyFile.c_str());
    windowManager_ = std::make_unique<Process>(
        std::vector<std::string>{"openbox", "--startup", "touch " + readyFile},
        std::map<std::string, std::optional<std::string>>{
            {"DISPLAY", display_}, {"XAUTHORITY", withAuthority ? std::optional(authorityFile_) : std::nullopt}});
    const bool ready = WaitUntil([&] { return access(readyFile.c_str(), F_OK) == 0; }, kServerStart);
    std::remove(readyFile.c_str());
    if (!ready) {
        throw std::runtime_error("openbox did not start: " + windowManager_->Stderr());
    }
}

VirtualDesktop::~VirtualDesktop() {
    windowManager_.reset();
    server_.reset();
    if (!authorityFile_.empty()) {
        std::remove(authorityFile_.c_str());
    }
}

void VirtualDesktop::KillServer() { server_->Signal(SIGKILL); }

}  // namespace desktop
