#pragma once

#include <fractional-scale-v1-client-protocol.h>
#include <libdecor-0/libdecor.h>
#include <viewporter-client-protocol.h>
#include <wayland-client.h>
#include <wayland-cursor.h>
#include <xdg-activation-v1-client-protocol.h>

#include <memory>

namespace platform::wayland {

// Wayland objects and libdecor's, each let go with its owner through the
// function the library gives for it: the seat's and its devices' `release`
// where their version has it, which tells the compositor as well. (The
// library's functions are inline in its headers, so they are called here
// rather than named as template arguments.)
struct Release {
    void operator()(wl_display* display) const { wl_display_disconnect(display); }
    void operator()(wl_registry* registry) const { wl_registry_destroy(registry); }
    void operator()(wl_compositor* compositor) const { wl_compositor_destroy(compositor); }
    void operator()(wl_shm* shm) const { wl_shm_destroy(shm); }
    void operator()(wl_seat* seat) const {
        wl_seat_get_version(seat) >= WL_SEAT_RELEASE_SINCE_VERSION ? wl_seat_release(seat) : wl_seat_destroy(seat);
    }
    void operator()(wl_pointer* pointer) const {
        wl_pointer_get_version(pointer) >= WL_POINTER_RELEASE_SINCE_VERSION ? wl_pointer_release(pointer)
                                                                            : wl_pointer_destroy(pointer);
    }
    void operator()(wl_touch* touch) const {
        wl_touch_get_version(touch) >= WL_TOUCH_RELEASE_SINCE_VERSION ? wl_touch_release(touch)
                                                                      : wl_touch_destroy(touch);
    }
    void operator()(wl_output* output) const {
        wl_output_get_version(output) >= WL_OUTPUT_RELEASE_SINCE_VERSION ? wl_output_release(output)
                                                                         : wl_output_destroy(output);
    }
    void operator()(wl_cursor_theme* theme) const { wl_cursor_theme_destroy(theme); }
    void operator()(wl_surface* surface) const { wl_surface_destroy(surface); }
    void operator()(wl_buffer* buffer) const { wl_buffer_destroy(buffer); }
    void operator()(wl_shm_pool* pool) const { wl_shm_pool_destroy(pool); }
    void operator()(wl_callback* callback) const { wl_callback_destroy(callback); }
    void operator()(wp_viewporter* viewporter) const { wp_viewporter_destroy(viewporter); }
    void operator()(wp_viewport* viewport) const { wp_viewport_destroy(viewport); }
    void operator()(wp_fractional_scale_manager_v1* manager) const { wp_fractional_scale_manager_v1_destroy(manager); }
    void operator()(wp_fractional_scale_v1* scale) const { wp_fractional_scale_v1_destroy(scale); }
    void operator()(xdg_activation_v1* activation) const { xdg_activation_v1_destroy(activation); }
    void operator()(libdecor* context) const { libdecor_unref(context); }
    void operator()(libdecor_frame* frame) const { libdecor_frame_unref(frame); }
};

using DisplayHandle = std::unique_ptr<wl_display, Release>;
using RegistryHandle = std::unique_ptr<wl_registry, Release>;
using CompositorHandle = std::unique_ptr<wl_compositor, Release>;
using ShmHandle = std::unique_ptr<wl_shm, Release>;
using SeatHandle = std::unique_ptr<wl_seat, Release>;
using PointerHandle = std::unique_ptr<wl_pointer, Release>;
using TouchHandle = std::unique_ptr<wl_touch, Release>;
using CursorThemeHandle = std::unique_ptr<wl_cursor_theme, Release>;
using OutputHandle = std::unique_ptr<wl_output, Release>;
using SurfaceHandle = std::unique_ptr<wl_surface, Release>;
using BufferHandle = std::unique_ptr<wl_buffer, Release>;
using PoolHandle = std::unique_ptr<wl_shm_pool, Release>;
using CallbackHandle = std::unique_ptr<wl_callback, Release>;
using ViewporterHandle = std::unique_ptr<wp_viewporter, Release>;
using ViewportHandle = std::unique_ptr<wp_viewport, Release>;
using FractionalScaleManagerHandle = std::unique_ptr<wp_fractional_scale_manager_v1, Release>;
using FractionalScaleHandle = std::unique_ptr<wp_fractional_scale_v1, Release>;
using ActivationHandle = std::unique_ptr<xdg_activation_v1, Release>;
using DecorHandle = std::unique_ptr<libdecor, Release>;
using FrameHandle = std::unique_ptr<libdecor_frame, Release>;

}  // namespace platform::wayland
