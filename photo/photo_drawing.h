#pragma once
// How a photo is drawn: painting the window and saving what it shows use
// this one routine, so that a saved file holds exactly what was on screen.

#include "image/dib_image.h"
#include "platform/gdi/records.h"

// Draws the whole of image onto destination's client rectangle, turned by
// rotation clockwise quarter turns, resampled by area averaging (HALFTONE,
// which this sets on destination). destination must have 32-bit pixels.
// The blit's result: FALSE when nothing could be drawn.
BOOL DrawPhoto(gdi::HDC destination, CDibImage& image, LONG rotation, const RECT& clientRect);
