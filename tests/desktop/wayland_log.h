#pragma once

#include <optional>
#include <string>
#include <vector>

// What the program said to its Wayland compositor, read from the protocol
// log libwayland writes with WAYLAND_DEBUG=1: the pictures it committed on
// its window's surface, and whether it kept to the compositor's pace.
namespace desktop {

struct Size {
    int width = 0;
    int height = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

struct CommittedPicture {
    Size buffer;
    int bufferScale = 1;
    // The viewport's destination, where the surface has a viewport.
    std::optional<Size> destination;
};

struct WaylandLog {
    std::vector<CommittedPicture> pictures;
    // The sizes the compositor configured the toplevel to, 0 x 0 where it
    // left the size to the window; and whether the window asked to be maximised.
    std::vector<Size> configured;
    bool askedMaximised = false;
    std::vector<std::string> titles;
    // The tokens the window was activated with (xdg_activation_v1).
    std::vector<std::string> activations;
    int frameCallbacksAnswered = 0;
    // Pictures attached while the last one's frame callback was unanswered.
    int picturesAheadOfTheCompositor = 0;
    // Titles set after another, once pictures go, with no frame callback
    // answered in between.
    int titlesAheadOfTheCompositor = 0;
    // The client's own pointer's entries into the window's surface (not
    // libdecor's pointer's), those of them answered with an image set with
    // that serial, and the cursor images set, in order.
    int pointerEntries = 0;
    int pointerEntriesWithACursor = 0;
    std::vector<Size> cursorImages;

    // The log of a client whose first surface is its window's.
    [[nodiscard]] static WaylandLog Read(const std::string& text);
};

// The pictures and titles a client sent over a second or more at full
// speed kept to the compositor's pace: a picture only once the compositor
// answered the last one's frame callback, a title at most once between two.
void ExpectTheCompositorsPace(const WaylandLog& log);

}  // namespace desktop
