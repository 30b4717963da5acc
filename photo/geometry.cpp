#include "photo/geometry.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "platform/saturate.h"

namespace {

using Wide = std::int64_t;

LONG Width(const RECT& r) { return SaturateToLong(Wide{r.right} - r.left); }
LONG Height(const RECT& r) { return SaturateToLong(Wide{r.bottom} - r.top); }

// a + b, saturated.
LONG Add(LONG a, Wide b) { return SaturateToLong(Wide{a} + b); }

// a * b / c with the product formed first and the quotient truncated toward
// zero, saturated. c must not be zero.
LONG MulDivTruncated(LONG a, LONG b, LONG c) { return SaturateToLong(Wide{a} * b / c); }

}  // namespace

void LockAspect(RECT& rect, LONG aspectWidth, LONG aspectHeight) {
    if (aspectWidth <= 0 || aspectHeight <= 0) return;

    // The minimum comes first; an inside-out rectangle counts as too narrow.
    if (Wide{rect.right} - rect.left < minimumSide) rect.right = Add(rect.left, minimumSide);
    if (Wide{rect.bottom} - rect.top < minimumSide) rect.bottom = Add(rect.top, minimumSide);

    const LONG width = Width(rect);
    const LONG height = Height(rect);
    const LONG impliedWidth = MulDivTruncated(height, aspectWidth, aspectHeight);
    const LONG averagedWidth = SaturateToLong((Wide{impliedWidth} + width) / 2);

    rect.right = Add(rect.left, averagedWidth);
    rect.bottom = Add(rect.top, MulDivTruncated(averagedWidth, aspectHeight, aspectWidth));
}

int HitResizeGrip(const RECT& clientRect, POINT point) {
    const bool inGrip =
        Wide{point.x} > Wide{clientRect.right} - gripZone && Wide{point.y} > Wide{clientRect.bottom} - gripZone;
    return inGrip ? 1 : -1;
}

RECT DraggedRect(DragMode kind, const RECT& startRect, POINT dragStart, POINT current, LONG aspectWidth,
                 LONG aspectHeight) {
    const LONG dx = SaturateToLong(Wide{current.x} - dragStart.x);
    const LONG dy = SaturateToLong(Wide{current.y} - dragStart.y);
    switch (kind) {
        case dragMove:
            return RECT{Add(startRect.left, dx), Add(startRect.top, dy), Add(startRect.right, dx),
                        Add(startRect.bottom, dy)};
        case dragResize: {
            RECT r{startRect.left, startRect.top, Add(startRect.right, dx), Add(startRect.bottom, dy)};
            LockAspect(r, aspectWidth, aspectHeight);
            return r;
        }
        default: return startRect;
    }
}

void RotateQuarterTurn(LONG& rotation, LONG& aspectWidth, LONG& aspectHeight, RECT& windowRect) {
    // Masking with 3 is the non-negative remainder modulo 4, even for a
    // negative rotation, and cannot overflow.
    rotation = ((rotation & 3) + 1) & 3;
    std::swap(aspectWidth, aspectHeight);
    const LONG width = Width(windowRect);
    const LONG height = Height(windowRect);
    windowRect.right = Add(windowRect.left, height);
    windowRect.bottom = Add(windowRect.top, width);
}

PointTriple RotationPoints(LONG rotation, const RECT& clientRect) {
    const LONG l = clientRect.left;
    const LONG t = clientRect.top;
    const LONG r = clientRect.right;
    const LONG b = clientRect.bottom;
    switch (rotation & 3) {
        case 1: return {POINT{r, t}, POINT{r, b}, POINT{l, t}};
        case 2: return {POINT{r, b}, POINT{l, b}, POINT{r, t}};
        case 3: return {POINT{l, b}, POINT{l, t}, POINT{r, b}};
        default: return {POINT{l, t}, POINT{r, t}, POINT{l, b}};
    }
}

RECT CascadeRect(LONG openedBefore, LONG aspectWidth, LONG aspectHeight) {
    const Wide column = openedBefore % 10;
    const Wide group = openedBefore / 10;
    const LONG dx = SaturateToLong(10 * (column - group + 10) + 50);
    const LONG dy = SaturateToLong(10 * (group + column) + 50);
    RECT r{Add(0, dx), Add(0, dy), Add(200, dx), Add(200, dy)};
    LockAspect(r, aspectWidth, aspectHeight);
    return r;
}

RECT RectForSideLength(const RECT& windowRect, ResizeSide side, LONG length, LONG aspectWidth, LONG aspectHeight) {
    if (aspectWidth <= 0 || aspectHeight <= 0) return windowRect;

    // The derived sides hand over to the basic ones, judged on the window as
    // it is now; a square counts as portrait.
    const bool portrait = Height(windowRect) >= Width(windowRect);
    if (side == sideLong)
        side = portrait ? sideHeight : sideWidth;
    else if (side == sideShort)
        side = portrait ? sideWidth : sideHeight;

    RECT r = windowRect;
    switch (side) {
        case sideHeight:
            r.bottom = Add(r.top, length);
            r.right = Add(r.left, MulDivTruncated(length, aspectWidth, aspectHeight));
            break;
        case sideWidth:
            r.right = Add(r.left, length);
            r.bottom = Add(r.top, MulDivTruncated(length, aspectHeight, aspectWidth));
            break;
        default: break;
    }
    return r;
}

RECT FitWindowSideLimit(const RECT& windowRect, LONG maxSide) {
    const LONG width = Width(windowRect);
    const LONG height = Height(windowRect);
    const LONG longest = std::max(width, height);
    if (maxSide <= 0 || longest <= maxSide) return windowRect;

    // Both sides take the factor maxSide / longest; the longest lands on
    // maxSide exactly.
    return RECT{windowRect.left, windowRect.top, Add(windowRect.left, MulDivTruncated(width, maxSide, longest)),
                Add(windowRect.top, MulDivTruncated(height, maxSide, longest))};
}
