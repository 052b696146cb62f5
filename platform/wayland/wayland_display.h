#pragma once

// The connection to a Wayland compositor, and what the window needs of it.

#include <wayland-client.h>

#include <chrono>
#include <cstdint>
#include <map>
#include <string>

#include "platform/wayland/wayland_handles.h"

namespace platform::wayland {

// The run-time error that says how the connection to the compositor of
// this name ended, thrown if it has.
void CheckConnection(wl_display* display, const std::string& name);
// The same for a call on the connection that failed with this errno, in
// the compositor's words where it ended the connection over an error.
[[noreturn]] void ThrowConnectionFailure(wl_display* display, const std::string& name, int error);

// What the seat's pointer does over the program's surfaces. Called from
// inside the connection's dispatch, where nothing may unwind: a sink notes
// what happened and acts on it once the dispatch has returned.
class PointerSink {
public:
    virtual ~PointerSink() = default;
    virtual void PointerEntered(wl_surface* surface) = 0;
    virtual void PointerLeft() = 0;
    virtual void ButtonPressed() = 0;
    virtual void ButtonReleased() = 0;
};

// The connection to the compositor and the globals the window needs: the
// compositor, shared memory, the seat's pointer, the outputs with their
// scales, and where the compositor offers them, viewports and fractional
// scales.
class WaylandDisplay {
public:
    // Connects to the compositor WAYLAND_DISPLAY names; throws a run-time
    // error that says why when it cannot.
    WaylandDisplay();
    ~WaylandDisplay();
    WaylandDisplay(const WaylandDisplay&) = delete;
    WaylandDisplay& operator=(const WaylandDisplay&) = delete;

    [[nodiscard]] wl_display* Get() const { return display_.get(); }
    [[nodiscard]] wl_compositor* Compositor() const { return compositor_.get(); }
    [[nodiscard]] wl_shm* Shm() const { return shm_.get(); }
    // Null where the compositor does not offer them.
    [[nodiscard]] wp_viewporter* Viewporter() const { return viewporter_.get(); }
    [[nodiscard]] wp_fractional_scale_manager_v1* FractionalScales() const { return fractionalScales_.get(); }
    [[nodiscard]] const std::string& Name() const { return name_; }

    // An output's scale, 1 when unknown.
    [[nodiscard]] int ScaleOf(wl_output* output) const;

    void SetPointerSink(PointerSink* sink) { pointerSink_ = sink; }

    // Sleeps until the compositor sends something or `wakeDescriptor` is
    // readable, at most `longest`, and reads what the compositor sent
    // (dispatching it is the caller's).
    void WaitForEvents(int wakeDescriptor, std::chrono::milliseconds longest) const;
    // Sends what it can of the requests made so far, without waiting; true
    // once all of them are sent. Throws a run-time error when the
    // compositor has gone.
    [[nodiscard]] bool Flush() const;

    // Throws the run-time error that says how the connection ended, if it has.
    void Check() const;
    // Throws the run-time error for a call on the connection that failed
    // with this errno.
    [[noreturn]] void Fail(int error) const { ThrowConnectionFailure(display_.get(), name_, error); }

private:
    struct Output {
        OutputHandle proxy;
        int scale = 1;
    };

    static void Global(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                       std::uint32_t version);
    static void GlobalRemove(void* data, wl_registry* registry, std::uint32_t name);
    static void SeatCapabilities(void* data, wl_seat* seat, std::uint32_t capabilities);
    static void OutputScale(void* data, wl_output* output, std::int32_t scale);
    static void PointerEnter(void* data, wl_pointer* pointer, std::uint32_t serial, wl_surface* surface, wl_fixed_t x,
                             wl_fixed_t y);
    static void PointerLeave(void* data, wl_pointer* pointer, std::uint32_t serial, wl_surface* surface);
    static void PointerButton(void* data, wl_pointer* pointer, std::uint32_t serial, std::uint32_t time,
                              std::uint32_t button, std::uint32_t state);

    std::string name_;
    DisplayHandle display_;
    RegistryHandle registry_;
    CompositorHandle compositor_;
    ShmHandle shm_;
    ViewporterHandle viewporter_;
    FractionalScaleManagerHandle fractionalScales_;
    SeatHandle seat_;
    PointerHandle pointer_;
    std::map<std::uint32_t, Output> outputs_;  // by global name
    PointerSink* pointerSink_ = nullptr;
};

}  // namespace platform::wayland
