#pragma once

#include <fractional-scale-v1-client-protocol.h>
#include <libdecor-0/libdecor.h>
#include <viewporter-client-protocol.h>
#include <wayland-client.h>

#include <memory>

namespace platform::wayland {

// Wayland objects and libdecor's, each let go with its owner through the
// function the library gives for it. (The library's functions are inline
// in its headers, so they are called here rather than named as template
// arguments.)
struct Release {
    void operator()(wl_display* display) const { wl_display_disconnect(display); }
    void operator()(wl_registry* registry) const { wl_registry_destroy(registry); }
    void operator()(wl_compositor* compositor) const { wl_compositor_destroy(compositor); }
    void operator()(wl_shm* shm) const { wl_shm_destroy(shm); }
    void operator()(wl_seat* seat) const { wl_seat_destroy(seat); }
    void operator()(wl_pointer* pointer) const { wl_pointer_destroy(pointer); }
    void operator()(wl_output* output) const { wl_output_destroy(output); }
    void operator()(wl_surface* surface) const { wl_surface_destroy(surface); }
    void operator()(wl_buffer* buffer) const { wl_buffer_destroy(buffer); }
    void operator()(wl_shm_pool* pool) const { wl_shm_pool_destroy(pool); }
    void operator()(wl_callback* callback) const { wl_callback_destroy(callback); }
    void operator()(wp_viewporter* viewporter) const { wp_viewporter_destroy(viewporter); }
    void operator()(wp_viewport* viewport) const { wp_viewport_destroy(viewport); }
    void operator()(wp_fractional_scale_manager_v1* manager) const { wp_fractional_scale_manager_v1_destroy(manager); }
    void operator()(wp_fractional_scale_v1* scale) const { wp_fractional_scale_v1_destroy(scale); }
    void operator()(libdecor* context) const { libdecor_unref(context); }
    void operator()(libdecor_frame* frame) const { libdecor_frame_unref(frame); }
};

using DisplayHandle = std::unique_ptr<wl_display, Release>;
using RegistryHandle = std::unique_ptr<wl_registry, Release>;
using CompositorHandle = std::unique_ptr<wl_compositor, Release>;
using ShmHandle = std::unique_ptr<wl_shm, Release>;
using SeatHandle = std::unique_ptr<wl_seat, Release>;
using PointerHandle = std::unique_ptr<wl_pointer, Release>;
using OutputHandle = std::unique_ptr<wl_output, Release>;
using SurfaceHandle = std::unique_ptr<wl_surface, Release>;
using BufferHandle = std::unique_ptr<wl_buffer, Release>;
using PoolHandle = std::unique_ptr<wl_shm_pool, Release>;
using CallbackHandle = std::unique_ptr<wl_callback, Release>;
using ViewporterHandle = std::unique_ptr<wp_viewporter, Release>;
using ViewportHandle = std::unique_ptr<wp_viewport, Release>;
using FractionalScaleManagerHandle = std::unique_ptr<wp_fractional_scale_manager_v1, Release>;
using FractionalScaleHandle = std::unique_ptr<wp_fractional_scale_v1, Release>;
using DecorHandle = std::unique_ptr<libdecor, Release>;
using FrameHandle = std::unique_ptr<libdecor_frame, Release>;

}  // namespace platform::wayland
