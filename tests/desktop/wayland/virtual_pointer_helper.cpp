// Gives a headless compositor's seat a pointer, which it has none of until
// a client makes one, and keeps it until this ends (SIGTERM). The tests then
// move and click it with the compositor's own commands.
//
//   pentagram_virtual_pointer drag X1 Y1 X2 Y2 WIDTH HEIGHT
//
// drags instead, with a pointer of its own, as a mouse does: pressed at
// (X1, Y1) of a layout WIDTH x HEIGHT, moved to (X2, Y2) and released
// there. The compositor's commands move a pointer with no motion told to
// the window a press holds it to; a device's motion is.

#include <wayland-client.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "virtual-pointer-client.h"

namespace {

struct Globals {
    wl_seat* seat = nullptr;
    zwlr_virtual_pointer_manager_v1* manager = nullptr;
};

void Global(void* data, wl_registry* registry, std::uint32_t name, const char* interface, std::uint32_t /*version*/) {
    auto& globals = *static_cast<Globals*>(data);
    if (std::strcmp(interface, wl_seat_interface.name) == 0 && globals.seat == nullptr) {
        globals.seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    } else if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0) {
        globals.manager = static_cast<zwlr_virtual_pointer_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
    }
}

void GlobalRemove(void* /*data*/, wl_registry* /*registry*/, std::uint32_t /*name*/) {}

struct DisplayCloser {
    void operator()(wl_display* display) const { wl_display_disconnect(display); }
};

// A mouse's left button, as the kernel numbers it.
constexpr std::uint32_t kLeftButton = 0x110;

void Drag(wl_display* display, zwlr_virtual_pointer_v1* pointer, char** at) {
    const auto number = [&](int i) { return static_cast<std::uint32_t>(std::stoul(at[i])); };
    const std::uint32_t width = number(4);
    const std::uint32_t height = number(5);
    std::uint32_t time = 1;
    zwlr_virtual_pointer_v1_motion_absolute(pointer, time++, number(0), number(1), width, height);
    zwlr_virtual_pointer_v1_frame(pointer);
    zwlr_virtual_pointer_v1_button(pointer, time++, kLeftButton, WL_POINTER_BUTTON_STATE_PRESSED);
    zwlr_virtual_pointer_v1_frame(pointer);
    zwlr_virtual_pointer_v1_motion_absolute(pointer, time++, number(2), number(3), width, height);
    zwlr_virtual_pointer_v1_frame(pointer);
    zwlr_virtual_pointer_v1_button(pointer, time++, kLeftButton, WL_POINTER_BUTTON_STATE_RELEASED);
    zwlr_virtual_pointer_v1_frame(pointer);
    wl_display_roundtrip(display);
}

}  // namespace

int main(int argc, char** argv) {
    const std::unique_ptr<wl_display, DisplayCloser> display(wl_display_connect(nullptr));
    if (!display) {
        std::fprintf(stderr, "virtual pointer: no compositor\n");
        return 1;
    }
    Globals globals;
    static const wl_registry_listener listener{Global, GlobalRemove};
    wl_registry* registry = wl_display_get_registry(display.get());
    wl_registry_add_listener(registry, &listener, &globals);
    wl_display_roundtrip(display.get());
    if (globals.manager == nullptr) {
        std::fprintf(stderr, "virtual pointer: the compositor has no virtual pointer manager\n");
        return 1;
    }
    zwlr_virtual_pointer_v1* pointer =
        zwlr_virtual_pointer_manager_v1_create_virtual_pointer(globals.manager, globals.seat);
    wl_display_roundtrip(display.get());
    constexpr int kDragArguments = 8;
    if (argc == kDragArguments && std::strcmp(argv[1], "drag") == 0) {
        Drag(display.get(), pointer, argv + 2);
        zwlr_virtual_pointer_v1_destroy(pointer);
        return 0;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    // Until killed: the pointer lives as long as the connection.
    while (wl_display_dispatch(display.get()) >= 0) {
    }
    zwlr_virtual_pointer_v1_destroy(pointer);
    return 0;
}
