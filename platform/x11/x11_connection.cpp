#include "platform/x11/x11_connection.h"

#include <xcb/present.h>
#include <xcb/shm.h>
#include <xcb/xfixes.h>

#include <cstring>
#include <string_view>

#include "platform/process/captured_stderr.h"
#include "platform/run_time_error.h"

namespace platform::x11 {
namespace {

// The core protocol's requests and errors by their numbers (a "-" where
// there is none), and those of the extensions the window speaks.
constexpr std::string_view kCoreRequests =
    "- CreateWindow ChangeWindowAttributes GetWindowAttributes DestroyWindow DestroySubwindows ChangeSaveSet "
    "ReparentWindow MapWindow MapSubwindows UnmapWindow UnmapSubwindows ConfigureWindow CirculateWindow GetGeometry "
    "QueryTree InternAtom GetAtomName ChangeProperty DeleteProperty GetProperty ListProperties SetSelectionOwner "
    "GetSelectionOwner ConvertSelection SendEvent GrabPointer UngrabPointer GrabButton UngrabButton "
    "ChangeActivePointerGrab GrabKeyboard UngrabKeyboard GrabKey UngrabKey AllowEvents GrabServer UngrabServer "
    "QueryPointer GetMotionEvents TranslateCoordinates WarpPointer SetInputFocus GetInputFocus QueryKeymap OpenFont "
    "CloseFont QueryFont QueryTextExtents ListFonts ListFontsWithInfo SetFontPath GetFontPath CreatePixmap FreePixmap "
    "CreateGC ChangeGC CopyGC SetDashes SetClipRectangles FreeGC ClearArea CopyArea CopyPlane PolyPoint PolyLine "
    "PolySegment PolyRectangle PolyArc FillPoly PolyFillRectangle PolyFillArc PutImage GetImage PolyText8 PolyText16 "
    "ImageText8 ImageText16 CreateColormap FreeColormap CopyColormapAndFree InstallColormap UninstallColormap "
    "ListInstalledColormaps AllocColor AllocNamedColor AllocColorCells AllocColorPlanes FreeColors StoreColors "
    "StoreNamedColor QueryColors LookupColor CreateCursor CreateGlyphCursor FreeCursor RecolorCursor QueryBestSize "
    "QueryExtension ListExtensions ChangeKeyboardMapping GetKeyboardMapping ChangeKeyboardControl GetKeyboardControl "
    "Bell ChangePointerControl GetPointerControl SetScreenSaver GetScreenSaver ChangeHosts ListHosts SetAccessControl "
    "SetCloseDownMode KillClient RotateProperties ForceScreenSaver SetPointerMapping GetPointerMapping "
    "SetModifierMapping GetModifierMapping - - - - - - - NoOperation";
constexpr std::string_view kCoreErrors =
    "- BadRequest BadValue BadWindow BadPixmap BadAtom BadCursor BadFont BadMatch BadDrawable BadAccess BadAlloc "
    "BadColor BadGC BadIDChoice BadName BadLength BadImplementation";

struct ExtensionNames {
    xcb_extension_t* id;
    std::string_view requests;  // by minor opcode
    std::string_view firstError;
};

const std::array<ExtensionNames, 3> kExtensions{
    ExtensionNames{&xcb_shm_id, "ShmQueryVersion ShmAttach ShmDetach ShmPutImage ShmGetImage ShmCreatePixmap",
                   "BadShmSeg"},
    ExtensionNames{&xcb_present_id, "PresentQueryVersion PresentPixmap PresentNotifyMSC PresentSelectInput", ""},
    ExtensionNames{&xcb_xfixes_id,
                   "XFixesQueryVersion - - - - XFixesCreateRegion - - - - XFixesDestroyRegion XFixesSetRegion",
                   "BadRegion"}};

// The name at this place of the words, or `otherwise` where there is none.
std::string Named(std::string_view words, std::size_t at, const std::string& otherwise) {
    for (; at > 0 && !words.empty(); --at) {
        const std::size_t space = words.find(' ');
        words = space == std::string_view::npos ? std::string_view() : words.substr(space + 1);
    }
    const std::string_view name = words.substr(0, words.find(' '));
    return name.empty() || name == "-" ? otherwise : std::string(name);
}

}  // namespace

const xcb_query_extension_reply_t* X11Connection::Extension(xcb_extension_t& extension) const {
    const xcb_query_extension_reply_t* reply = xcb_get_extension_data(connection_, &extension);
    return reply != nullptr && reply->present != 0 ? reply : nullptr;
}

void X11Connection::Refused(const xcb_generic_error_t& error) const {
    std::string request = Named(kCoreRequests, error.major_code,
                                "request " + std::to_string(error.major_code) + "." + std::to_string(error.minor_code));
    std::string kind = Named(kCoreErrors, error.error_code, "error " + std::to_string(error.error_code));
    for (const ExtensionNames& extension : kExtensions) {
        const xcb_query_extension_reply_t* known = Extension(*extension.id);
        if (known == nullptr) {
            continue;
        }
        if (known->major_opcode == error.major_code) {
            request = Named(extension.requests, error.minor_code, request);
        }
        if (known->first_error == error.error_code && !extension.firstError.empty()) {
            kind = extension.firstError;
        }
    }
    throw RunTimeError("the X server refused a request of the window's", kind + " in " + request);
}

X11Connection::X11Connection() {
    const char* name = std::getenv("DISPLAY");
    if (name == nullptr || *name == '\0') {
        throw RunTimeError("cannot open the window", "DISPLAY is not set, so there is no X display to open it on");
    }
    name_ = name;
    int screen = 0;
    std::string said;
    {
        // libxcb writes a refusing server's reason to stderr, not to the caller.
        CapturedStderr captured;
        connection_ = xcb_connect(name, &screen);
        said = captured.Text();
    }
    if (xcb_connection_has_error(connection_) != 0) {
        xcb_disconnect(connection_);
        const std::string where = "the X display '" + name_ + "' ";
        throw RunTimeError("cannot open the window",
                           said.empty() ? where + "cannot be reached" : where + "refused the connection: " + said);
    }
    auto roots = xcb_setup_roots_iterator(xcb_get_setup(connection_));
    for (int skipped = 0; skipped < screen && roots.rem > 1; ++skipped) {
        xcb_screen_next(&roots);
    }
    screen_ = roots.data;
}

X11Connection::~X11Connection() {
    waiting_.reset();
    xcb_disconnect(connection_);
}

std::vector<std::uint32_t> X11Connection::Property(xcb_window_t window, xcb_atom_t property, xcb_atom_t type) const {
    const std::string bytes = PropertyBytes(window, property, type, 32);
    std::vector<std::uint32_t> items(bytes.size() / 4);
    std::memcpy(items.data(), bytes.data(), items.size() * 4);
    return items;
}

std::string X11Connection::Text(xcb_window_t window, xcb_atom_t property, xcb_atom_t type) const {
    return PropertyBytes(window, property, type, 8);
}

std::string X11Connection::PropertyBytes(xcb_window_t window, xcb_atom_t property, xcb_atom_t type, int format) const {
    constexpr std::uint32_t kLongest = 1 << 16;  // in 32-bit units
    const auto reply =
        Answer(xcb_get_property(connection_, 0, window, property, type, 0, kLongest), xcb_get_property_reply);
    if (!reply || reply->format != format) {
        return {};
    }
    const auto* bytes = static_cast<const char*>(xcb_get_property_value(reply.get()));
    return {bytes, static_cast<std::size_t>(xcb_get_property_value_length(reply.get()))};
}

void X11Connection::SetProperty(xcb_window_t window, xcb_atom_t property, xcb_atom_t type, int format,
                                std::size_t count, const void* data) const {
    xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window, property, type, static_cast<std::uint8_t>(format),
                        static_cast<std::uint32_t>(count), data);
}

std::optional<X11Connection::Geometry> X11Connection::GeometryOf(xcb_window_t window) const {
    const auto reply = Answer(xcb_get_geometry(connection_, window), xcb_get_geometry_reply);
    if (!reply) {
        return std::nullopt;
    }
    return Geometry{reply->x, reply->y, reply->width, reply->height, reply->border_width};
}

std::optional<xcb_window_t> X11Connection::ParentOf(xcb_window_t window) const {
    const auto reply = Answer(xcb_query_tree(connection_, window), xcb_query_tree_reply);
    if (!reply) {
        return std::nullopt;
    }
    return reply->parent;
}

std::optional<std::pair<int, int>> X11Connection::Translate(xcb_window_t window, xcb_window_t within) const {
    const auto reply =
        Answer(xcb_translate_coordinates(connection_, window, within, 0, 0), xcb_translate_coordinates_reply);
    if (!reply) {
        return std::nullopt;
    }
    return std::pair<int, int>{reply->dst_x, reply->dst_y};
}

bool X11Connection::Viewable(xcb_window_t window) const {
    const auto reply = Attributes(window);
    return reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
}

std::uint32_t X11Connection::AllEventMasks(xcb_window_t window) const {
    const auto reply = Attributes(window);
    return reply ? reply->all_event_masks : 0;
}

std::unique_ptr<xcb_get_window_attributes_reply_t, decltype(&std::free)> X11Connection::Attributes(
    xcb_window_t window) const {
    return Answer(xcb_get_window_attributes(connection_, window), xcb_get_window_attributes_reply);
}

void X11Connection::Send(xcb_window_t to, xcb_window_t window, xcb_atom_t type,
                         const std::array<std::uint32_t, 5>& data) const {
    SendMessage(to, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY, window, type, 32,
                data.data());
}

void X11Connection::Broadcast(xcb_window_t window, xcb_atom_t type, const std::array<char, 20>& bytes) const {
    SendMessage(Root(), XCB_EVENT_MASK_PROPERTY_CHANGE, window, type, 8, bytes.data());
}

void X11Connection::SendMessage(xcb_window_t to, std::uint32_t listeners, xcb_window_t window, xcb_atom_t type,
                                int format, const void* data) const {
    // The protocol sends every event as 32 bytes.
    std::array<char, 32> bytes{};
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = static_cast<std::uint8_t>(format);
    message.window = window;
    message.type = type;
    std::memcpy(message.data.data8, data, sizeof message.data.data8);
    std::memcpy(bytes.data(), &message, sizeof message);
    xcb_send_event(connection_, 0, to, listeners, bytes.data());
}

bool X11Connection::EventWaiting() {
    if (!waiting_) {
        waiting_.reset(xcb_poll_for_event(connection_));
    }
    return waiting_ != nullptr;
}

EventHandle X11Connection::NextEvent() {
    if (!waiting_) {
        waiting_.reset(xcb_poll_for_event(connection_));
    }
    if (!waiting_) {
        if (const int error = xcb_connection_has_error(connection_); error != 0) {
            throw RunTimeError("lost the connection to the X display '" + name_ + "'",
                               error == XCB_CONN_ERROR ? "the server closed it or the connection broke"
                                                       : "xcb's error " + std::to_string(error));
        }
    }
    return std::move(waiting_);
}

}  // namespace platform::x11
