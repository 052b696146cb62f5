#include "tests/desktop/wayland_log.h"

#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>
#include <sstream>

namespace desktop {
namespace {

// A request is "[time]  -> object@id.request(arguments)", an event the same
// without the arrow.
const std::regex kMessage(R"(^\[ *[0-9.]+\] +(-> )?([a-z_0-9]+)@([0-9]+)\.([a-z_]+)\((.*)\)$)");
const std::regex kNewId(R"(new id [a-z_0-9]+@([0-9]+))");
const std::regex kNumbers(R"(-?[0-9]+)");

std::vector<int> Numbers(const std::string& arguments) {
    std::vector<int> numbers;
    const std::string plain = std::regex_replace(arguments, std::regex(R"(new id [a-z_0-9]+@[0-9]+|"[^"]*")"), "");
    for (std::sregex_iterator at(plain.begin(), plain.end(), kNumbers), end; at != end; ++at) {
        numbers.push_back(std::stoi(at->str()));
    }
    return numbers;
}

std::string NewId(const std::string& arguments) {
    std::smatch match;
    return std::regex_search(arguments, match, kNewId) ? match[1].str() : "";
}

}  // namespace

WaylandLog WaylandLog::Read(const std::string& text) {
    WaylandLog log;
    std::string surface;   // the window's, the first the client makes
    std::string viewport;  // the window surface's
    std::map<std::string, Size> buffers;
    std::optional<Size> attached;
    int bufferScale = 1;
    std::optional<Size> destination;
    std::string frameCallback;  // asked for and not yet answered
    bool titleThisRepaint = false;
    std::map<std::string, Size> surfaceImages;  // every surface's last attached buffer
    std::set<std::string> entrySerials;         // into the window's surface, not yet given a cursor
    // The client's own seat is the first it binds (libdecor binds its own
    // after), and its own pointers are that seat's.
    std::string seat;
    std::set<std::string> pointers;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        std::smatch match;
        if (!std::regex_match(line, match, kMessage)) {
            continue;
        }
        const bool request = match[1].matched;
        const std::string interface = match[2];
        const std::string id = match[3];
        const std::string message = match[4];
        const std::string arguments = match[5];
        if (request && interface == "wl_compositor" && message == "create_surface" && surface.empty()) {
            surface = NewId(arguments);
        } else if (request && interface == "wl_shm_pool" && message == "create_buffer") {
            const auto numbers = Numbers(arguments);
            buffers[NewId(arguments)] = {numbers.at(1), numbers.at(2)};
        } else if (request && interface == "wp_viewporter" && message == "get_viewport" &&
                   arguments.ends_with("wl_surface@" + surface)) {
            viewport = NewId(arguments);
        } else if (request && interface == "wp_viewport" && id == viewport && message == "set_destination") {
            const auto numbers = Numbers(arguments);
            destination = Size{numbers.at(0), numbers.at(1)};
        } else if (request && interface == "wl_registry" && message == "bind" && seat.empty() &&
                   arguments.find("\"wl_seat\"") != std::string::npos) {
            seat = arguments.substr(arguments.rfind('@') + 1);
        } else if (request && interface == "wl_seat" && id == seat && message == "get_pointer") {
            pointers.insert(NewId(arguments));
        } else if (!request && interface == "wl_pointer" && message == "enter" && pointers.contains(id) &&
                   arguments.find("wl_surface@" + surface + ",") != std::string::npos) {
            const std::string serial = std::to_string(Numbers(arguments).at(0));
            log.pointerEntries += entrySerials.insert(serial).second ? 1 : 0;
        } else if (request && interface == "wl_pointer" && message == "set_cursor") {
            std::smatch image;
            const bool named = std::regex_search(arguments, image, std::regex(R"(wl_surface@([0-9]+))"));
            const auto shown = named ? surfaceImages.find(image[1].str()) : surfaceImages.end();
            if (shown != surfaceImages.end()) {
                log.cursorImages.push_back(shown->second);
                log.pointerEntriesWithACursor +=
                    entrySerials.erase(std::to_string(Numbers(arguments).at(0))) != 0 ? 1 : 0;
            }
        } else if (request && interface == "wl_surface" && id != surface && message == "attach") {
            std::smatch buffer;
            if (std::regex_search(arguments, buffer, std::regex(R"(wl_buffer@([0-9]+))"))) {
                surfaceImages[id] = buffers[buffer[1].str()];
            }
        } else if (request && interface == "wl_surface" && id == surface) {
            if (message == "attach") {
                std::smatch buffer;
                const bool named = std::regex_search(arguments, buffer, std::regex(R"(wl_buffer@([0-9]+))"));
                attached = named ? std::optional(buffers[buffer[1].str()]) : std::nullopt;
                log.picturesAheadOfTheCompositor += frameCallback.empty() ? 0 : 1;
            } else if (message == "set_buffer_scale") {
                bufferScale = Numbers(arguments).at(0);
            } else if (message == "frame") {
                frameCallback = NewId(arguments);
            } else if (message == "commit" && attached) {
                log.pictures.push_back({*attached, bufferScale, destination});
                attached.reset();
            }
        } else if (!request && interface == "wl_callback" && message == "done" && id == frameCallback) {
            frameCallback.clear();
            titleThisRepaint = false;
            ++log.frameCallbacksAnswered;
        } else if (!request && interface == "xdg_toplevel" && message == "configure") {
            const auto numbers = Numbers(arguments);
            log.configured.push_back({numbers.at(0), numbers.at(1)});
        } else if (request && interface == "xdg_toplevel" && message == "set_maximized") {
            log.askedMaximised = true;
        } else if (request && interface == "xdg_activation_v1" && message == "activate" &&
                   arguments.ends_with("wl_surface@" + surface)) {
            log.activations.push_back(arguments.substr(1, arguments.find('"', 1) - 1));
        } else if (request && interface == "xdg_toplevel" && message == "set_title") {
            log.titles.push_back(arguments.substr(1, arguments.size() - 2));
            log.titlesAheadOfTheCompositor += titleThisRepaint ? 1 : 0;
            // Before the first picture there is no repaint to keep pace with.
            titleThisRepaint = !log.pictures.empty();
        }
    }
    return log;
}

void ExpectTheCompositorsPace(const WaylandLog& log) {
    EXPECT_GT(log.frameCallbacksAnswered, 10);
    EXPECT_EQ(log.picturesAheadOfTheCompositor, 0);
    EXPECT_EQ(log.titlesAheadOfTheCompositor, 0);
    EXPECT_LE(log.pictures.size(), static_cast<std::size_t>(log.frameCallbacksAnswered) + 1);
    EXPECT_FALSE(log.titles.empty());
}

}  // namespace desktop
