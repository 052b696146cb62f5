#pragma once

// The persistent image: the pixels a form draws into and a window shows,
// with what changed since they were last shown. Every kind of form shares
// it; it knows the strokes (platform/raster/) and nothing of forms or windows.

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/image/changed_tiles.h"
#include "platform/image/image_format.h"
#include "platform/image/kept_circle.h"
#include "platform/image/pixel_memory.h"
#include "platform/raster/stroke_raster.h"

namespace platform {

// The persistent image of a client area (AutoRedraw): what Cls, Line and
// Circle draw into and what the window shows. Pixels are 32 bits in rows of
// four bytes a pixel, in the format the window takes (image_format.h); the
// colours it is given are in that format.
//
// The image remembers every run of pixels drawn since it was last cleared,
// so that clearing it again to the same colour touches only those, and which
// tiles changed since it was last shown, so that showing it sends only those.
// A circle drawn again and again at the same place is kept between a clear
// and its drawing again: only its pixels that were cleared or drawn over are
// cleared and drawn again, the rest already holding what they would end as.
// Until the circle is drawn again they are owed the clear, which they get
// before anything reads the picture.
class PersistentImage {
public:
    // Painted by the widest row kernels the processor runs, or by the ones given.
    explicit PersistentImage(ImageFormat format = ImageFormat::Xrgb) : PersistentImage(FastestKernels(), format) {}
    explicit PersistentImage(const RowKernels& kernels, ImageFormat format = ImageFormat::Xrgb)
        : kernels_(&kernels), format_(format) {}

    [[nodiscard]] ImageFormat Format() const { return format_; }

    // Keeps what fits of the old picture; the rest is the background.
    void Resize(int width, int height, PixelColour background);

    void Clear(PixelColour background);
    void Line(float x1, float y1, float x2, float y2, PixelColour colour, int width);
    void Circle(float x, float y, float radius, PixelColour colour, int width);

    [[nodiscard]] int Width() const { return width_; }
    [[nodiscard]] int Height() const { return height_; }
    [[nodiscard]] int Stride() const { return width_ * static_cast<int>(sizeof(std::uint32_t)); }
    // Null while the image is empty.
    [[nodiscard]] const std::uint8_t* Pixels() const;
    // The pixel's colour bits, without the fourth byte.
    [[nodiscard]] std::uint32_t PixelAt(int x, int y) const;
    // The pixels as rows, for copying them out; empty while the image is.
    [[nodiscard]] PixelRows Rows() const;

    // The parts changed since the last call; all of it after a resize.
    [[nodiscard]] std::vector<PixelRect> TakeChanges();

private:
    struct KeptCircleColours {
        PixelColour colour;
        PixelColour background;
    };

    [[nodiscard]] PixelRows Memory() const;
    void Settle() const;
    void LetGoOfCircle() const;

    const RowKernels* kernels_;
    ImageFormat format_;
    int width_ = 0;
    int height_ = 0;
    PixelMemory pixels_;
    // Outside drawn_ (and the kept circle), every pixel is this value;
    // unknown after a resize.
    std::optional<PixelColour> clearedTo_;
    mutable std::vector<Span> drawn_;
    SegmentPlan segment_;
    // Settling the kept circle before a read changes pixels but not the
    // picture, which was owed the change: so it may happen in a reading.
    mutable ChangedTiles changed_;
    mutable KeptCircle circle_;
    // The circle's colour and the background it was drawn over, while its
    // untouched pixels hold it over that background.
    mutable std::optional<KeptCircleColours> kept_;
    // Since the last clear, the kept circle's untouched pixels are owed it.
    mutable bool owed_ = false;
    mutable std::vector<Span> changedRuns_;
    // The runs drawn since the last clear that may meet the kept circle;
    // all of them are among these while `screened_`.
    std::vector<Span> nearCircle_;
    mutable bool screened_ = true;
};

}  // namespace platform
