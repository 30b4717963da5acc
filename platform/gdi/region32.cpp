#include "platform/gdi/region32.h"

#include <algorithm>
#include <utility>

namespace gdi::internal {
namespace {

constexpr LONG coordinateLimit = LONG{1} << 27;

int32_t Clamp(LONG value) { return std::clamp(value, -coordinateLimit, coordinateLimit); }

pixman_box32_t NormalisedBox(const RECT& rect) {
    int32_t left = Clamp(rect.left), right = Clamp(rect.right);
    int32_t top = Clamp(rect.top), bottom = Clamp(rect.bottom);
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    return pixman_box32_t{left, top, right, bottom};
}

}  // namespace

Region32::Region32() { pixman_region32_init(&region_); }

Region32::Region32(const RECT& rect) {
    const pixman_box32_t box = NormalisedBox(rect);
    if (box.x1 == box.x2 || box.y1 == box.y2) {
        pixman_region32_init(&region_);
    } else {
        pixman_region32_init_with_extents(&region_, &box);
    }
}

Region32::~Region32() { pixman_region32_fini(&region_); }

bool Region32::CopyFrom(const Region32& other) {
    if (&other == this) return true;
    if (pixman_region32_copy(&region_, &other.region_)) return true;
    pixman_region32_clear(&region_);
    return false;
}

bool Region32::Combine(const Region32& a, const Region32& b, int mode) {
    // Work into a scratch region: a or b may be this.
    Region32 result;
    bool ok = false;
    switch (mode) {
        case RGN_AND: ok = pixman_region32_intersect(result.raw(), &a.region_, &b.region_); break;
        case RGN_OR: ok = pixman_region32_union(result.raw(), &a.region_, &b.region_); break;
        case RGN_DIFF: ok = pixman_region32_subtract(result.raw(), &a.region_, &b.region_); break;
        case RGN_XOR: {
            // pixman has no exclusive or: (a - b) + (b - a).
            Region32 other;
            ok = pixman_region32_subtract(result.raw(), &a.region_, &b.region_) &&
                 pixman_region32_subtract(other.raw(), &b.region_, &a.region_) &&
                 pixman_region32_union(result.raw(), result.raw(), other.raw());
            break;
        }
        case RGN_COPY: ok = result.CopyFrom(a); break;
        default: return false;
    }
    if (!ok) return false;
    Swap(result);
    return true;
}

int Region32::Type() const {
    const int n = pixman_region32_n_rects(&region_);
    return n == 0 ? NULLREGION : n == 1 ? SIMPLEREGION : COMPLEXREGION;
}

RECT Region32::Box() const {
    if (!pixman_region32_not_empty(&region_)) return RECT{0, 0, 0, 0};
    const pixman_box32_t* box = pixman_region32_extents(&region_);
    return RECT{box->x1, box->y1, box->x2, box->y2};
}

const pixman_box32_t* Region32::Rects(int* count) const { return pixman_region32_rectangles(&region_, count); }

}  // namespace gdi::internal
