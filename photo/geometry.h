#pragma once
// Integer rules that place, resize, turn and size photo windows. They take
// plain values and return plain values; none of them touches the platform.
//
// Arithmetic. The rules are defined on signed 32-bit integers: every product
// is formed before the division that follows it and every division truncates
// toward zero, so results are the same as on a plain 32-bit machine. So that
// no input can overflow, products and sums are formed in 64 bits and every
// value a rule keeps -- a width or height it measures, a quotient or average it
// names, a coordinate it returns -- is saturated to [INT32_MIN, INT32_MAX]
// before it is used further. Inputs whose results fit in 32 bits are not
// affected by the saturation at all.

#include "platform/types.h"

// The side that a typed length applies to.
enum ResizeSide : LONG {
    sideHeight = 0,  // the length is the new height
    sideWidth = 1,   // the length is the new width
    sideLong = 2,    // the length goes to the longer side of the window
    sideShort = 3,   // the length goes to the shorter side of the window
};

// State of a photo window's left-button drag; a drag's kind is dragMove or
// dragResize.
enum DragMode : LONG {
    dragIdle = 0,
    dragMove = 1,
    dragResize = 2,
};

// Smallest width and height LockAspect lets a rectangle start from.
inline constexpr LONG minimumSide = 50;
// Width and height of the resize grip in the lower-right corner, plus one.
inline constexpr LONG gripZone = 20;

// Replaces right and bottom so that the rectangle has the aspect
// aspectWidth : aspectHeight: widens a side under 50 to 50, then averages the
// width with the width the height implies. left and top never change. A
// non-positive aspect value leaves the rectangle untouched.
void LockAspect(RECT& rect, LONG aspectWidth, LONG aspectHeight);

// 1 when the client point lies in the resize grip (the last 19 columns and
// the last 19 rows of the client area, with no outer bound), -1 otherwise.
int HitResizeGrip(const RECT& clientRect, POINT point);

// The window rectangle a drag of the given kind leads to: startRect shifted by
// the pointer's travel for dragMove; for dragResize the lower-right corner
// moved by it and the result aspect-locked. Any other kind returns startRect.
RECT DraggedRect(DragMode kind, const RECT& startRect, POINT dragStart, POINT current, LONG aspectWidth,
                 LONG aspectHeight);

// One clockwise quarter turn: rotation steps 0 -> 1 -> 2 -> 3 -> 0, the
// aspect pair swaps, and the window keeps its upper-left corner with width
// and height exchanged. Four turns give back every input exactly.
void RotateQuarterTurn(LONG& rotation, LONG& aspectWidth, LONG& aspectHeight, RECT& windowRect);

// Where the source image's upper-left, upper-right and lower-left corners go
// when it is drawn turned by `rotation` clockwise quarter turns (taken modulo
// 4) into the client rectangle. right and bottom are used as they stand.
PointTriple RotationPoints(LONG rotation, const RECT& clientRect);

// Screen rectangle of a new photo window, given how many photo windows were
// opened before it: steps of 10 pixels right and down from (150, 50), each
// group of ten starting 10 left and 10 below the group before, then locked to
// the photo's aspect.
RECT CascadeRect(LONG openedBefore, LONG aspectWidth, LONG aspectHeight);

// The window rectangle after giving `length` pixels to `side`, keeping left
// and top and deriving the other side from the aspect pair. No minimum and no
// averaging apply. An unknown side, or a non-positive aspect value, returns
// the rectangle unchanged.
RECT RectForSideLength(const RECT& windowRect, ResizeSide side, LONG length, LONG aspectWidth, LONG aspectHeight);

// The rectangle scaled down uniformly from its upper-left corner so that
// neither side exceeds maxSide: the longer side becomes maxSide and the
// other is scaled by the same factor, truncated. A rectangle within the
// limit, or a non-positive maxSide, leaves the rectangle unchanged.
RECT FitWindowSideLimit(const RECT& windowRect, LONG maxSide);
