#pragma once

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "platform/raster/pixel_rows.h"
#include "platform/raster/row_kernels.h"
#include "platform/raster/stroke_raster.h"

namespace platform {

// A circle the image draws again and again at the same place: its coverage,
// worked out once for its shape, and which of its pixels were touched since
// it was last drawn (cleared, or drawn over by a stroke). The image keeps
// the circle's untouched pixels as they are from one frame to the next, for
// clearing them and drawing the same circle over them again would leave
// them where they started.
class KeptCircle {
public:
    struct Shape {
        double x = 0;
        double y = 0;
        double radius = -1;
        int strokeWidth = 0;
        int imageWidth = 0;
        int imageHeight = 0;

        friend bool operator==(const Shape&, const Shape&) = default;
    };

    [[nodiscard]] const Shape& ShapeOf() const { return shape_; }
    [[nodiscard]] const Coverage& CoverageOf() const { return coverage_; }

    // Works out the coverage of a new shape; nothing of it is touched.
    void Cover(const Shape& shape);
    // Nothing of it counts as touched any more.
    void Forget();

    // The pixels of the circle's runs that the span crosses count as
    // touched, those not touched before set to `background` first where
    // `reset` says so (they hold the circle, and are to be drawn over as if
    // cleared).
    void Touch(const Span& span, const PixelRows& rows, bool reset, PixelColour background);
    // The colour composited over the touched pixels alone, as far as the
    // circle covers them; their runs are added to `changed`, and nothing
    // counts as touched any more.
    void BlendTouched(const RowKernels& kernels, const PixelRows& rows, PixelColour colour, std::vector<Span>& changed);
    // The untouched pixels set to the background, as a clear would have set
    // them; their runs are added to `changed`.
    void ClearUntouched(const RowKernels& kernels, const PixelRows& rows, PixelColour background,
                        std::vector<Span>& changed) const;
    // Every run of the circle, as spans.
    void AppendRuns(std::vector<Span>& spans) const;

    // The ranges of rows (at most two, inclusive) in which a stroke along
    // the segment, reaching this far from it, may meet the circle's runs;
    // how many there are. Generous: a stroke's run outside them meets none.
    using RowRanges = std::array<std::pair<int, int>, 2>;
    [[nodiscard]] int RowsNear(double x1, double y1, double x2, double y2, double reach, RowRanges& ranges) const;

private:
    Shape shape_;
    Coverage coverage_;
    // The runs of row top_ + i are runs [firstRun_[i], firstRun_[i + 1]).
    int top_ = 0;
    std::vector<std::uint32_t> firstRun_;
    // 1 for each pixel of a run that was touched, beside its coverage value;
    // the runs with any, each once.
    std::vector<std::uint8_t> touched_;
    std::vector<std::uint8_t> runTouched_;
    std::vector<std::uint32_t> touchedRuns_;
    std::vector<std::uint8_t> scratch_;
};

}  // namespace platform
