// Parts of the Wayland window that need no compositor: where damage goes
// on a compositor that takes it in surface coordinates, the cursor the
// desktop's variables ask for, and the launch's token that can be sent.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/wayland/wayland_cursor.h"
#include "platform/wayland/wayland_launch.h"
#include "platform/wayland/wayland_presenter.h"

namespace {

using platform::PixelRect;
using platform::wayland::BufferToSurface;
using platform::wayland::CursorLook;

// Damage covers every surface pixel the buffer's rectangle touches, at an
// integer scale and at a viewport's fractional one.
TEST(BufferToSurfaceTest, CoversEverySurfacePixelTheRectangleTouches) {
    struct Case {
        PixelRect rect;
        platform::PixelSize buffer;
        platform::PixelSize surface;
        PixelRect damage;
    };
    const std::vector<Case> cases{
        {{10, 20, 30, 40}, {624, 426}, {624, 426}, {10, 20, 30, 40}},          // scale 1
        {{10, 20, 30, 40}, {624, 426}, {312, 213}, {5, 10, 15, 20}},           // scale 2, even edges
        {{11, 21, 30, 40}, {624, 426}, {312, 213}, {5, 10, 16, 21}},           // scale 2, odd edges widen
        {{0, 0, 2880, 1620}, {2880, 1620}, {1920, 1080}, {0, 0, 1920, 1080}},  // 150 %, the whole
        {{1, 1, 1, 1}, {2880, 1620}, {1920, 1080}, {0, 0, 2, 2}},              // 150 %, one pixel
    };
    for (const Case& tried : cases) {
        const PixelRect damage = BufferToSurface(tried.rect, tried.buffer, tried.surface);
        EXPECT_TRUE(damage == tried.damage)
            << tried.rect.x << "," << tried.rect.y << " " << tried.rect.width << "x" << tried.rect.height << " gave "
            << damage.x << "," << damage.y << " " << damage.width << "x" << damage.height;
    }
}

TEST(CursorLookTest, TakesTheDesktopsThemeAndASensibleSize) {
    struct Case {
        const char* theme;
        const char* size;
        std::optional<std::string> wantedTheme;
        int wantedSize;
    };
    const std::vector<Case> cases{
        {nullptr, nullptr, std::nullopt, 24}, {"Adwaita", "48", "Adwaita", 48},  {"", "32", std::nullopt, 32},
        {nullptr, "0", std::nullopt, 24},     {nullptr, "-8", std::nullopt, 24}, {nullptr, "24px", std::nullopt, 24},
        {nullptr, "99999", std::nullopt, 24},
    };
    for (const Case& tried : cases) {
        const CursorLook look = CursorLook::From(tried.theme, tried.size);
        EXPECT_EQ(look.theme, tried.wantedTheme) << (tried.theme != nullptr ? tried.theme : "unset");
        EXPECT_EQ(look.size, tried.wantedSize) << (tried.size != nullptr ? tried.size : "unset");
    }
}

// A token goes in one message, as UTF-8; any other is left unused.
TEST(ActivationTokenTest, OnlyOneThatFitsAMessageAsUtf8IsSent) {
    struct Case {
        std::string token;
        bool sendable;
    };
    const std::vector<Case> cases{
        {"pentagram-launch-1", true},    {"", true},
        {std::string(4079, 'x'), true},  {std::string(4080, 'x'), false},
        {std::string(5000, 'x'), false}, {"launch\u00E9", true},
        {"launch\xFF", false},           {"\xC0\xAE", false},
    };
    for (const Case& tried : cases) {
        EXPECT_EQ(platform::wayland::SendableToken(tried.token), tried.sendable)
            << tried.token.size() << " bytes: " << tried.token.substr(0, 20);
    }
}

}  // namespace
