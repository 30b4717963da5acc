#pragma once
// Internal: a pixman region32 with ownership, for region objects and
// surface clips. Coordinates are clamped to +/- 2^27 so that no width or
// area computed inside pixman can overflow.

#include <pixman.h>

#include <utility>

#include "platform/gdi/records.h"

namespace gdi::internal {

class Region32 {
public:
    Region32();                           // empty
    explicit Region32(const RECT& rect);  // the rectangle, normalised
    Region32(const Region32&) = delete;
    Region32& operator=(const Region32&) = delete;
    ~Region32();

    void Swap(Region32& other) noexcept { std::swap(region_, other.region_); }

    // Copies other into this; false (this left empty) when out of memory.
    bool CopyFrom(const Region32& other);
    // this = a op b for RGN_AND, RGN_OR, RGN_XOR, RGN_DIFF (RGN_COPY: a).
    // a or b may be this. False when out of memory.
    bool Combine(const Region32& a, const Region32& b, int mode);

    // NULLREGION, SIMPLEREGION or COMPLEXREGION.
    int Type() const;
    // Bounding box; all zero when empty.
    RECT Box() const;
    // The rectangles, top to bottom and left to right, non-overlapping.
    const pixman_box32_t* Rects(int* count) const;

    pixman_region32_t* raw() { return &region_; }
    const pixman_region32_t* raw() const { return &region_; }

private:
    pixman_region32_t region_;
};

}  // namespace gdi::internal
