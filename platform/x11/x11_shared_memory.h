#pragma once

#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <cstddef>
#include <cstdint>
#include <memory>

namespace platform::x11 {

// A shared-memory segment attached to the X server (MIT-SHM), detached and
// let go with this. It is marked for removal as soon as both sides hold it,
// so that nothing is left behind however the program ends.
class X11SharedMemory {
public:
    // Why there is none: this process could not make one of the size (past
    // the system's limit, or out of memory: a smaller or later one may
    // pass), or the server could not attach it (it is on another machine,
    // and never will).
    enum class Refusal { None, ThisSize, ForGood };

    static std::unique_ptr<X11SharedMemory> Attach(xcb_connection_t* connection, std::size_t bytes, Refusal& refusal);
    X11SharedMemory(xcb_connection_t* connection, xcb_shm_seg_t segment, std::uint8_t* memory)
        : connection_(connection), segment_(segment), memory_(memory) {}
    ~X11SharedMemory();
    X11SharedMemory(const X11SharedMemory&) = delete;
    X11SharedMemory& operator=(const X11SharedMemory&) = delete;

    [[nodiscard]] xcb_shm_seg_t Id() const { return segment_; }
    [[nodiscard]] std::uint8_t* Memory() const { return memory_; }

private:
    xcb_connection_t* connection_;
    xcb_shm_seg_t segment_;
    std::uint8_t* memory_;
};

}  // namespace platform::x11
