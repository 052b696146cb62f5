#include "platform/x11/x11_connection.h"

#include <cstring>

#include "platform/run_time_error.h"
#include "platform/x11/display_loss.h"

namespace platform::x11 {
namespace {

template <typename Reply>
using ReplyHandle = std::unique_ptr<Reply, decltype(&std::free)>;

// The reply to a request, or nothing when the server answered with an error
// (the window is gone); the error is the caller's to weigh, not Xlib's.
template <typename Reply, typename Cookie>
ReplyHandle<Reply> Answer(xcb_connection_t* connection, Cookie cookie,
                          Reply* (*reply)(xcb_connection_t*, Cookie, xcb_generic_error_t**)) {
    xcb_generic_error_t* error = nullptr;
    ReplyHandle<Reply> answer(reply(connection, cookie, &error), &std::free);
    std::free(error);
    return answer;
}

}  // namespace

X11Connection::X11Connection(const std::string& displayName)
    : connection_(xcb_connect(displayName.c_str(), nullptr)), displayName_(displayName) {
    if (xcb_connection_has_error(connection_) != 0) {
        xcb_disconnect(connection_);
        throw RunTimeError("cannot open the window", "the X display '" + displayName + "' cannot be reached");
    }
    screen_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
}

X11Connection::~X11Connection() { xcb_disconnect(connection_); }

std::vector<std::uint32_t> X11Connection::Property(xcb_window_t window, xcb_atom_t property, xcb_atom_t type) const {
    const auto reply =
        Answer(connection_, xcb_get_property(connection_, 0, window, property, type, 0, 1024), xcb_get_property_reply);
    std::vector<std::uint32_t> items;
    if (reply && reply->format == 32) {
        const auto* values = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
        items.assign(values, values + xcb_get_property_value_length(reply.get()) / 4);
    }
    return items;
}

std::optional<X11Connection::Geometry> X11Connection::GeometryOf(xcb_window_t window) const {
    const auto reply = Answer(connection_, xcb_get_geometry(connection_, window), xcb_get_geometry_reply);
    if (!reply) {
        return std::nullopt;
    }
    return Geometry{reply->x, reply->y, reply->width, reply->height, reply->border_width};
}

std::optional<xcb_window_t> X11Connection::ParentOf(xcb_window_t window) const {
    const auto reply = Answer(connection_, xcb_query_tree(connection_, window), xcb_query_tree_reply);
    if (!reply) {
        return std::nullopt;
    }
    return reply->parent;
}

std::optional<std::pair<int, int>> X11Connection::Translate(xcb_window_t window, xcb_window_t within) const {
    const auto reply = Answer(connection_, xcb_translate_coordinates(connection_, window, within, 0, 0),
                              xcb_translate_coordinates_reply);
    if (!reply) {
        return std::nullopt;
    }
    return std::pair<int, int>{reply->dst_x, reply->dst_y};
}

bool X11Connection::Viewable(xcb_window_t window) const {
    const auto reply =
        Answer(connection_, xcb_get_window_attributes(connection_, window), xcb_get_window_attributes_reply);
    return reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
}

std::uint32_t X11Connection::AllEventMasks(xcb_window_t window) const {
    const auto reply =
        Answer(connection_, xcb_get_window_attributes(connection_, window), xcb_get_window_attributes_reply);
    return reply ? reply->all_event_masks : 0;
}

void X11Connection::SendToRoot(xcb_window_t window, xcb_atom_t type, const std::array<std::uint32_t, 5>& data) const {
    // The protocol sends every event as 32 bytes.
    std::array<char, 32> bytes{};
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = type;
    std::memcpy(message.data.data32, data.data(), sizeof message.data.data32);
    std::memcpy(bytes.data(), &message, sizeof message);
    xcb_send_event(connection_, 0, Root(), XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   bytes.data());
}

std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> X11Connection::NextEvent() const {
    if (xcb_connection_has_error(connection_) != 0) {
        EndForLostDisplay(displayName_.c_str());
    }
    return {xcb_poll_for_event(connection_), &std::free};
}

void X11Connection::Flush() const { xcb_flush(connection_); }

}  // namespace platform::x11
