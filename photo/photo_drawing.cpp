#include "photo/photo_drawing.h"

#include "photo/geometry.h"
#include "platform/gdi/surfaces.h"

BOOL DrawPhoto(gdi::HDC destination, CDibImage& image, LONG rotation, const RECT& clientRect) {
    gdi::SetStretchBltMode(destination, gdi::HALFTONE);
    const PointTriple points = RotationPoints(rotation, clientRect);
    return image.DrawToParallelogram(destination, points.data(), 0, 0, image.width, image.height, nullptr, 0, 0);
}
