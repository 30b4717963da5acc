#pragma once
// The frame that follows the pointer while a photo window is dragged: drawn
// over every window by inverting screen pixels through a halftone pattern,
// so that drawing the same frame again erases it and the screen is exactly
// as it was.

#include "platform/gdi/records.h"

// The whole-screen drawing surface for the length of one message. Null when
// the desktop offers none; drawing on it then does nothing.
class CScreenSurface {
public:
    CScreenSurface();
    ~CScreenSurface();
    CScreenSurface(const CScreenSurface&) = delete;
    CScreenSurface& operator=(const CScreenSurface&) = delete;

    gdi::HDC Get() const { return dc_; }

private:
    gdi::HDC dc_;
};

// One drawing step on a screen surface: the frame of rect (rect minus its
// interior shrunk by thickness.cx left and right and thickness.cy top and
// bottom) is inverted where it differs from the frame of previous, when one
// is given. Thickness 0 x 0 makes an empty frame, so drawing that over the
// previous one erases it; a rectangle too small for an interior is all
// frame, and one without area has none. False when nothing could be drawn
// (no surface, or no memory for the regions).
bool DrawDragFrame(gdi::HDC screen, const RECT& rect, SIZE thickness, const RECT* previous, SIZE previousThickness);
