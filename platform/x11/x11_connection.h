#pragma once

#include <xcb/xcb.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform::x11 {

// A connection of the program's own to the X display, beside SDL's: it
// sees every event of the window it watches, whatever SDL makes of them,
// and a window that vanishes while it is asked about (a window manager's
// frame, say) is an answer, not an error that ends the program.
class X11Connection {
public:
    // Throws a run-time error when the display cannot be reached.
    explicit X11Connection(const std::string& displayName);
    ~X11Connection();
    X11Connection(const X11Connection&) = delete;
    X11Connection& operator=(const X11Connection&) = delete;

    [[nodiscard]] xcb_connection_t* Get() const { return connection_; }
    // Readable when the server has sent something.
    [[nodiscard]] int Descriptor() const { return xcb_get_file_descriptor(connection_); }
    [[nodiscard]] xcb_window_t Root() const { return screen_->root; }
    [[nodiscard]] int ScreenWidth() const { return screen_->width_in_pixels; }
    [[nodiscard]] int ScreenHeight() const { return screen_->height_in_pixels; }

    // The atoms of the names, in one round trip.
    template <std::size_t Count>
    [[nodiscard]] std::array<xcb_atom_t, Count> Atoms(const std::array<const char*, Count>& names) const;

    // A property as 32-bit items; empty when the window or the property is not there.
    [[nodiscard]] std::vector<std::uint32_t> Property(xcb_window_t window, xcb_atom_t property, xcb_atom_t type) const;

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

    // A client message to the root window, as window managers take requests.
    void SendToRoot(xcb_window_t window, xcb_atom_t type, const std::array<std::uint32_t, 5>& data) const;

    // The next event that has come, if any; does not wait. Ends the process
    // with the run-time error's report when the display has gone.
    [[nodiscard]] std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> NextEvent() const;
    void Flush() const;

private:
    xcb_connection_t* connection_;
    const xcb_screen_t* screen_ = nullptr;
    std::string displayName_;
};

template <std::size_t Count>
std::array<xcb_atom_t, Count> X11Connection::Atoms(const std::array<const char*, Count>& names) const {
    std::array<xcb_intern_atom_cookie_t, Count> cookies{};
    for (std::size_t i = 0; i < Count; ++i) {
        cookies[i] = xcb_intern_atom(connection_, 0,
                                     static_cast<std::uint16_t>(std::char_traits<char>::length(names[i])), names[i]);
    }
    std::array<xcb_atom_t, Count> atoms{};
    for (std::size_t i = 0; i < Count; ++i) {
        std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
            xcb_intern_atom_reply(connection_, cookies[i], nullptr), &std::free);
        atoms[i] = reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
    }
    return atoms;
}

}  // namespace platform::x11
