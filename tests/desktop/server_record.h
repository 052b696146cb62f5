#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/record.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/desktop/picture.h"

namespace desktop {

// What the X server delivers to its clients from the moment this starts,
// recorded by the server itself (the RECORD extension), so that nothing is
// missed however quickly it happens: windows' sizes and maps, and client
// messages such as startup notification's.
class ServerRecord {
public:
    ServerRecord(const std::string& display, const std::string& authorityFile);
    ~ServerRecord();
    ServerRecord(const ServerRecord&) = delete;
    ServerRecord& operator=(const ServerRecord&) = delete;

    // The window's size when it was first mapped, as its owner was told.
    [[nodiscard]] std::optional<Rect> FirstMapped(::Window window);
    // The startup-notification messages the window's owner sent, each whole.
    [[nodiscard]] std::vector<std::string> LaunchMessages(::Window window);

private:
    struct Delivered {
        unsigned long client;  // the resource base of the client told
        int type;
        ::Window window;
        int width;
        int height;
        ::Atom messageType;
        std::string bytes;
    };

    static void Recorded(XPointer self, XRecordInterceptData* data);
    void TakeIn();
    [[nodiscard]] unsigned long OwnerOf(::Window window) const;

    ::Display* control_ = nullptr;
    ::Display* data_ = nullptr;
    XRecordContext context_ = 0;
    std::vector<Delivered> delivered_;
};

}  // namespace desktop
