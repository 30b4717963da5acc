#pragma once
// Drawing onto a parallelogram with slanted sides. Nothing in the system
// draws one, so this aims at sane results rather than speed: a destination
// pixel is drawn when its centre lies inside the parallelogram, and its
// colour is the average of a grid of samples spread over its pre-image
// (area averaging) or the source pixel under its centre (nearest).

#include <cstddef>
#include <cstdint>

#include "platform/gdi/blit_source_pixels.h"

namespace gdi {

struct BlitSlantedJob {
    const CBlitSourcePixels* pixels = nullptr;
    LONG srcX = 0, srcY = 0, srcWidth = 0, srcHeight = 0;
    // In target pixels: the image of the source rectangle's upper-left
    // corner, and the images of its top and left sides as vectors. The two
    // vectors are not parallel.
    std::int64_t cornerX = 0, cornerY = 0;
    std::int64_t acrossX = 0, acrossY = 0;
    std::int64_t downX = 0, downY = 0;
    // The pixels that may be written, [left, right) x [top, bottom), inside
    // the target.
    std::int64_t left = 0, top = 0, right = 0, bottom = 0;
    BYTE* topRow = nullptr;
    std::ptrdiff_t pitch = 0;
};

void DrawSlanted(const BlitSlantedJob& job, BlitFilter filter);

}  // namespace gdi
