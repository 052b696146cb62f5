// Parts of the Wayland window that need no compositor: where damage goes
// on a compositor that takes it in surface coordinates, the cursor the
// desktop's variables ask for, the launch's token that can be sent, and
// what fingers make a click.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/wayland/wayland_cursor.h"
#include "platform/wayland/wayland_launch.h"
#include "platform/wayland/wayland_presenter.h"
#include "platform/wayland/wayland_touch.h"

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

// Fingers on a window of 100 x 80: each step and what it tells, a press
// ('P'), a release inside ('R') or outside ('r'), or nothing ('-').
TEST(TouchSequenceTest, AFingerIsAMouseButtonAndOnlyTheFirstFingerCounts) {
    struct Step {
        char what;  // d(own), m(otion), u(p), f(rame), c(ancel), e(lsewhere down)
        int id;
        double x;
        double y;
        char told;
    };
    struct Case {
        const char* name;
        std::vector<Step> steps;
    };
    const std::vector<Case> cases{
        {"a tap", {{'d', 0, 50, 40, 'P'}, {'f', 0, 0, 0, '-'}, {'u', 0, 0, 0, '-'}, {'f', 0, 0, 0, 'R'}}},
        {"moved within and lifted",
         {{'d', 0, 50, 40, 'P'}, {'m', 0, 90, 70, '-'}, {'u', 0, 0, 0, '-'}, {'f', 0, 0, 0, 'R'}}},
        {"moved out and lifted there",
         {{'d', 0, 50, 40, 'P'}, {'m', 0, 120, 40, '-'}, {'u', 0, 0, 0, '-'}, {'f', 0, 0, 0, 'r'}}},
        {"moved out and back",
         {{'d', 0, 50, 40, 'P'},
          {'m', 0, 50, -5, '-'},
          {'m', 0, 60, 30, '-'},
          {'u', 0, 0, 0, '-'},
          {'f', 0, 0, 0, 'R'}}},
        {"a cancelled touch", {{'d', 0, 50, 40, 'P'}, {'f', 0, 0, 0, '-'}, {'c', 0, 0, 0, 'r'}}},
        {"a second finger lifted first",
         {{'d', 0, 10, 10, 'P'},
          {'d', 1, 60, 60, '-'},
          {'u', 1, 0, 0, '-'},
          {'f', 0, 0, 0, '-'},
          {'u', 0, 0, 0, '-'},
          {'f', 0, 0, 0, 'R'}}},
        {"the first lifted, then a second",
         {{'d', 0, 10, 10, 'P'},
          {'d', 1, 60, 60, '-'},
          {'u', 0, 0, 0, '-'},
          {'f', 0, 0, 0, 'R'},
          {'u', 1, 0, 0, '-'},
          {'f', 0, 0, 0, '-'},
          {'d', 2, 30, 30, 'P'}}},
        {"a finger elsewhere", {{'e', 0, 50, 40, '-'}, {'u', 0, 0, 0, '-'}, {'f', 0, 0, 0, '-'}}},
    };
    for (const Case& tried : cases) {
        platform::wayland::TouchSequence touches;
        touches.SurfaceSize(100, 80);
        std::string told;
        std::string expected;
        for (const Step& step : tried.steps) {
            char said = '-';
            switch (step.what) {
                case 'd':
                case 'e':
                    said = touches.Down(step.id, step.what == 'd', step.x, step.y) ? 'P' : '-';
                    break;
                case 'm':
                    touches.Motion(step.id, step.x, step.y);
                    break;
                case 'u':
                    touches.Up(step.id);
                    break;
                case 'f':
                    if (const auto released = touches.Frame()) {
                        said = *released ? 'R' : 'r';
                    }
                    break;
                default:
                    said = touches.Cancel() ? 'r' : '-';
                    break;
            }
            told += said;
            expected += step.told;
        }
        EXPECT_EQ(told, expected) << tried.name;
    }
}

}  // namespace
