#pragma once

// What fingers on the window's surface make of a click: as a mouse's button
// does, and as Windows' touch-to-mouse does, only the first finger of a
// touch sequence counts, pressed where it goes down and released where it
// is lifted. A finger moved out of the client area and lifted there is no
// click; the other fingers of the sequence are none either.

#include <cstdint>
#include <optional>
#include <set>

namespace platform::wayland {

class TouchSequence {
public:
    // The client area, in the surface's coordinates, which fingers move in.
    void SurfaceSize(int width, int height) { size_ = {width, height}; }

    // A finger went down on the window's surface (or elsewhere: then it is
    // not the window's). True when it is a press: the sequence's first.
    [[nodiscard]] bool Down(std::int32_t id, bool onTheSurface, double x, double y);
    void Motion(std::int32_t id, double x, double y);
    void Up(std::int32_t id);
    // The end of a group of touch events that belong together: the first
    // finger's release, inside the client area or not, if it was lifted.
    [[nodiscard]] std::optional<bool> Frame();
    // The compositor took the touches over (a gesture of its own): true
    // when a press is thereby released, outside.
    [[nodiscard]] bool Cancel();

private:
    struct Size {
        int width = 0;
        int height = 0;
    };

    [[nodiscard]] bool Inside(double x, double y) const;

    std::optional<Size> size_;
    // The window's fingers that are down; the sequence's first, while down
    // or until its lift's frame ends; and where it is.
    std::set<std::int32_t> fingers_;
    std::optional<std::int32_t> first_;
    bool firstInside_ = false;
    bool firstLifted_ = false;
};

}  // namespace platform::wayland
