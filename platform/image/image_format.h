#pragma once

namespace platform {

// How the image lays out a pixel in its 32 bits: as the window it is shown
// in takes them, so that what changed is copied to the window as it is.
enum class ImageFormat {
    // 0x00RRGGBB, the fourth byte 0: a 24-bit X11 image, a Wayland XRGB8888
    // buffer, a top-down Windows DIB.
    Xrgb,
    // Bytes R, G, B and 255: a canvas's image data, opaque.
    OpaqueRgba,
};

}  // namespace platform
