#include "tests/desktop/server_record.h"

#include <X11/Xproto.h>

#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace desktop {
namespace {

constexpr int kSentByAClient = 0x80;

::Display* Open(const std::string& display, const std::string& authorityFile) {
    if (!authorityFile.empty()) {
        setenv("XAUTHORITY", authorityFile.c_str(), 1);
    }
    ::Display* opened = XOpenDisplay(display.c_str());
    if (opened == nullptr) {
        throw std::runtime_error("cannot open " + display + " to record it");
    }
    return opened;
}

}  // namespace

ServerRecord::ServerRecord(const std::string& display, const std::string& authorityFile)
    : control_(Open(display, authorityFile)), data_(Open(display, authorityFile)) {
    int major = 0;
    int minor = 0;
    if (XRecordQueryVersion(control_, &major, &minor) == 0) {
        throw std::runtime_error("the X server has no RECORD extension");
    }
    // Maps, reparents and configures, through to client messages, as
    // delivered (one range: the server records no more than one).
    std::vector<XRecordRange*> ranges{XRecordAllocRange()};
    ranges[0]->delivered_events = {MapNotify, ClientMessage};
    XRecordClientSpec clients = XRecordAllClients;
    context_ = XRecordCreateContext(control_, XRecordFromServerTime, &clients, 1, ranges.data(),
                                    static_cast<int>(ranges.size()));
    for (XRecordRange* range : ranges) {
        XFree(range);
    }
    XSync(control_, False);
    if (context_ == 0 || XRecordEnableContextAsync(data_, context_, Recorded, reinterpret_cast<XPointer>(this)) == 0) {
        throw std::runtime_error("the X server would not record");
    }
}

ServerRecord::~ServerRecord() {
    XRecordDisableContext(control_, context_);
    XRecordFreeContext(control_, context_);
    XSync(control_, False);
    XCloseDisplay(data_);
    XCloseDisplay(control_);
}

void ServerRecord::Recorded(XPointer self, XRecordInterceptData* data) {
    auto& record = *reinterpret_cast<ServerRecord*>(self);
    if (data->category == XRecordFromServer && data->data_len * 4 >= sizeof(xEvent)) {
        xEvent event;
        std::memcpy(&event, data->data, sizeof event);
        const int type = event.u.u.type & ~kSentByAClient;
        Delivered delivered{data->id_base, type, 0, 0, 0, 0, {}};
        if (type == MapNotify) {
            delivered.window = event.u.mapNotify.window;
        } else if (type == ConfigureNotify) {
            delivered.window = event.u.configureNotify.window;
            delivered.width = event.u.configureNotify.width;
            delivered.height = event.u.configureNotify.height;
        } else if (type == ClientMessage) {
            delivered.window = event.u.clientMessage.window;
            delivered.messageType = event.u.clientMessage.u.b.type;
            delivered.bytes.assign(reinterpret_cast<const char*>(event.u.clientMessage.u.b.bytes),
                                   sizeof event.u.clientMessage.u.b.bytes);
        }
        record.delivered_.push_back(delivered);
    }
    XRecordFreeData(data);
}

void ServerRecord::TakeIn() {
    (void)XPending(data_);
    XRecordProcessReplies(data_);
}

// The client that made a window: its resource base.
unsigned long ServerRecord::OwnerOf(::Window window) const { return window & XRecordIdBaseMask(control_); }

std::optional<Rect> ServerRecord::FirstMapped(::Window window) {
    TakeIn();
    std::optional<Rect> size;
    for (const Delivered& event : delivered_) {
        if (event.client != OwnerOf(window) || event.window != window) {
            continue;
        }
        if (event.type == ConfigureNotify) {
            size = Rect{0, 0, event.width, event.height};
        } else if (event.type == MapNotify) {
            return size;
        }
    }
    return std::nullopt;
}

std::vector<std::string> ServerRecord::LaunchMessages(::Window window) {
    TakeIn();
    const ::Atom begin = XInternAtom(control_, "_NET_STARTUP_INFO_BEGIN", False);
    const ::Atom more = XInternAtom(control_, "_NET_STARTUP_INFO", False);
    std::vector<std::string> messages;
    std::string message;
    for (const Delivered& event : delivered_) {
        if (event.type != ClientMessage || event.client != OwnerOf(window) || event.window != window ||
            (event.messageType != begin && event.messageType != more)) {
            continue;
        }
        if (event.messageType == begin) {
            message.clear();
        }
        message += event.bytes;
        if (const auto end = message.find('\0'); end != std::string::npos) {
            messages.push_back(message.substr(0, end));
            message.clear();
        }
    }
    return messages;
}

}  // namespace desktop
