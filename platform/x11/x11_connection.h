#pragma once

#include <xcb/xcb.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::x11 {

using EventHandle = std::unique_ptr<xcb_generic_event_t, decltype(&std::free)>;

// What kind of event it is, whether the server or another client sent it
// (SendEvent sets the top bit).
[[nodiscard]] inline std::uint8_t EventKind(const xcb_generic_event_t& event) {
    constexpr std::uint8_t kSentByAClient = 0x80;
    return event.response_type & static_cast<std::uint8_t>(~kSentByAClient);
}

// The program's one connection to the X display: its window is made, shown,
// sized, titled and fed its events on it. A window that vanishes while it
// is asked about (a window manager's frame, say) is an answer, not an error;
// every other error of a request of the program's, and the loss of the
// connection, is a run-time error in X's own names.
class X11Connection {
public:
    // Connects to the display DISPLAY names. Throws a run-time error that
    // says why it cannot, in the server's words where it gave some.
    X11Connection();
    ~X11Connection();
    X11Connection(const X11Connection&) = delete;
    X11Connection& operator=(const X11Connection&) = delete;

    [[nodiscard]] xcb_connection_t* Get() const { return connection_; }
    [[nodiscard]] const xcb_screen_t& Screen() const { return *screen_; }
    [[nodiscard]] xcb_window_t Root() const { return screen_->root; }
    // Readable when the server has sent something.
    [[nodiscard]] int Descriptor() const { return xcb_get_file_descriptor(connection_); }

    // The atoms of the names, given apart by spaces, in one round trip.
    template <std::size_t Count>
    [[nodiscard]] std::array<xcb_atom_t, Count> Atoms(std::string_view names) const;

    // A property as 32-bit items, or as text; empty when the window or the
    // property is not there.
    [[nodiscard]] std::vector<std::uint32_t> Property(xcb_window_t window, xcb_atom_t property, xcb_atom_t type) const;
    [[nodiscard]] std::string Text(xcb_window_t window, xcb_atom_t property, xcb_atom_t type) const;
    void SetProperty(xcb_window_t window, xcb_atom_t property, xcb_atom_t type, int format, std::size_t count,
                     const void* data) const;

    struct Geometry {
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
        int border = 0;
    };
    [[nodiscard]] std::optional<Geometry> GeometryOf(xcb_window_t window) const;
    [[nodiscard]] std::optional<xcb_window_t> ParentOf(xcb_window_t window) const;
    // Where the window's corner lies inside another window.
    [[nodiscard]] std::optional<std::pair<int, int>> Translate(xcb_window_t window, xcb_window_t within) const;
    // Whether it is mapped along with all its ancestors.
    [[nodiscard]] bool Viewable(xcb_window_t window) const;
    // The events every client together has selected on the window.
    [[nodiscard]] std::uint32_t AllEventMasks(xcb_window_t window) const;

    // A client message, as window managers take requests on the root.
    void Send(xcb_window_t to, xcb_window_t window, xcb_atom_t type, const std::array<std::uint32_t, 5>& data) const;
    // A client message of 20 bytes to every client that watches the root's
    // properties, as startup notification's pieces go.
    void Broadcast(xcb_window_t window, xcb_atom_t type, const std::array<char, 20>& bytes) const;

    // What the server tells of the extension (its major opcode, its first
    // error), asked once on the connection; null where it has none.
    [[nodiscard]] const xcb_query_extension_reply_t* Extension(xcb_extension_t& extension) const;

    // The program's own window, which cannot be gone while it runs: a
    // request that finds it gone (another client destroyed it) is refused.
    void OwnWindow(xcb_window_t window) { own_ = window; }
    // The run-time error for a request of the program's that the server
    // refused: "BadMatch in ConfigureWindow".
    [[noreturn]] void Refused(const xcb_generic_error_t& error) const;

    // The reply to a request; nothing when the window it asked about is
    // gone, or the connection is. Any other error is refused.
    template <typename Reply, typename Cookie>
    [[nodiscard]] std::unique_ptr<Reply, decltype(&std::free)> Answer(Cookie cookie,
                                                                      Reply* (*reply)(xcb_connection_t*, Cookie,
                                                                                      xcb_generic_error_t**)) const;

    // Whether an event has come; does not wait.
    [[nodiscard]] bool EventWaiting();
    // The next event that has come, if any; does not wait. Throws a run-time
    // error when the connection is lost.
    [[nodiscard]] EventHandle NextEvent();
    void Flush() const { xcb_flush(connection_); }

private:
    void SendMessage(xcb_window_t to, std::uint32_t listeners, xcb_window_t window, xcb_atom_t type, int format,
                     const void* data) const;
    [[nodiscard]] std::string PropertyBytes(xcb_window_t window, xcb_atom_t property, xcb_atom_t type,
                                            int format) const;
    [[nodiscard]] std::unique_ptr<xcb_get_window_attributes_reply_t, decltype(&std::free)> Attributes(
        xcb_window_t window) const;

    xcb_connection_t* connection_ = nullptr;
    const xcb_screen_t* screen_ = nullptr;
    std::string name_;
    xcb_window_t own_ = XCB_WINDOW_NONE;
    // An event taken in to see whether one has come.
    EventHandle waiting_{nullptr, &std::free};
};

template <std::size_t Count>
std::array<xcb_atom_t, Count> X11Connection::Atoms(std::string_view names) const {
    std::array<xcb_intern_atom_cookie_t, Count> cookies{};
    for (auto& cookie : cookies) {
        const std::string_view name = names.substr(0, names.find(' '));
        names.remove_prefix(std::min(names.size(), name.size() + 1));
        cookie = xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(name.size()), name.data());
    }
    std::array<xcb_atom_t, Count> atoms{};
    for (std::size_t i = 0; i < Count; ++i) {
        const auto reply = Answer(cookies[i], xcb_intern_atom_reply);
        atoms[i] = reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
    }
    return atoms;
}

template <typename Reply, typename Cookie>
std::unique_ptr<Reply, decltype(&std::free)> X11Connection::Answer(Cookie cookie,
                                                                   Reply* (*reply)(xcb_connection_t*, Cookie,
                                                                                   xcb_generic_error_t**)) const {
    xcb_generic_error_t* error = nullptr;
    std::unique_ptr<Reply, decltype(&std::free)> answer(reply(connection_, cookie, &error), &std::free);
    if (error != nullptr) {
        const std::unique_ptr<xcb_generic_error_t, decltype(&std::free)> owned(error, &std::free);
        const bool gone = error->error_code == XCB_WINDOW || error->error_code == XCB_DRAWABLE;
        if (!gone || error->resource_id == own_) {
            Refused(*error);
        }
    }
    return answer;
}

}  // namespace platform::x11
