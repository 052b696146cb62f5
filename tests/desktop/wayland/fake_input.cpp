// A click or a finger's tap at a point of KDE's compositor's layout,
// through kwin's own input protocol for tests (org_kde_kwin_fake_input,
// which kwin grants where KWIN_WAYLAND_NO_PERMISSION_CHECKS is set), as a
// person's would be. A headless kwin's seat has no pointer or touch until
// the first fake device makes one: the device is made first, and given a
// moment for the clients to take the seat's new devices up, before the
// click or the tap.
//
//   pentagram_fake_input click|tap X Y

#include <linux/input-event-codes.h>
#include <wayland-client.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>
#include <thread>

#include "fake-input-client.h"

namespace {

void Global(void* data, wl_registry* registry, std::uint32_t name, const char* interface, std::uint32_t version) {
    if (std::strcmp(interface, org_kde_kwin_fake_input_interface.name) == 0) {
        *static_cast<org_kde_kwin_fake_input**>(data) = static_cast<org_kde_kwin_fake_input*>(
            wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, version < 4 ? version : 4));
    }
}

void GlobalRemove(void* /*data*/, wl_registry* /*registry*/, std::uint32_t /*name*/) {}

struct DisplayCloser {
    void operator()(wl_display* display) const { wl_display_disconnect(display); }
};

}  // namespace

int main(int argc, char** argv) {
    const std::string_view what = argc == 4 ? argv[1] : "";
    if (what != "click" && what != "tap") {
        std::fprintf(stderr, "usage: pentagram_fake_input click|tap X Y\n");
        return 2;
    }
    const std::unique_ptr<wl_display, DisplayCloser> display(wl_display_connect(nullptr));
    if (!display) {
        std::fprintf(stderr, "fake input: no compositor\n");
        return 1;
    }
    org_kde_kwin_fake_input* input = nullptr;
    static const wl_registry_listener listener{Global, GlobalRemove};
    wl_registry* registry = wl_display_get_registry(display.get());
    wl_registry_add_listener(registry, &listener, &input);
    wl_display_roundtrip(display.get());
    if (input == nullptr || org_kde_kwin_fake_input_get_version(input) < 3) {
        std::fprintf(stderr, "fake input: the compositor offers no org_kde_kwin_fake_input of version 3\n");
        return 1;
    }
    org_kde_kwin_fake_input_authenticate(input, "pentagram tests", "a click or a tap on the program's window");
    const wl_fixed_t x = wl_fixed_from_int(std::atoi(argv[2]));
    const wl_fixed_t y = wl_fixed_from_int(std::atoi(argv[3]));
    if (what == "click") {
        org_kde_kwin_fake_input_pointer_motion_absolute(input, x, y);
    }
    wl_display_roundtrip(display.get());
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    if (what == "click") {
        org_kde_kwin_fake_input_pointer_motion_absolute(input, x, y);
        org_kde_kwin_fake_input_button(input, BTN_LEFT, WL_POINTER_BUTTON_STATE_PRESSED);
        org_kde_kwin_fake_input_button(input, BTN_LEFT, WL_POINTER_BUTTON_STATE_RELEASED);
    } else {
        constexpr std::uint32_t kFinger = 0;
        org_kde_kwin_fake_input_touch_down(input, kFinger, x, y);
        org_kde_kwin_fake_input_touch_frame(input);
        org_kde_kwin_fake_input_touch_up(input, kFinger);
        org_kde_kwin_fake_input_touch_frame(input);
    }
    const bool delivered = wl_display_roundtrip(display.get()) >= 0;
    org_kde_kwin_fake_input_destroy(input);
    wl_registry_destroy(registry);
    return delivered ? 0 : 1;
}
