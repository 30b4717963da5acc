#pragma once
// The drag frame as the photo window draws it, for tests of the screen
// surfaces: a frame region painted with PATINVERT through the halftone
// pattern brush, clipped to the region.

#include "platform/gdi/gdi.h"

namespace gditest {

// Rows alternately 0x55 and 0xAA, starting with 0x55, each padded to 16 bits.
inline constexpr BYTE halftoneRows[16] = {0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0};

inline gdi::HBRUSH CreateHalftoneBrush() {
    gdi::HBITMAP pattern = gdi::CreateBitmap(8, 8, 1, 1, halftoneRows);
    gdi::HBRUSH brush = gdi::CreatePatternBrush(pattern);
    gdi::DeleteObject(pattern);
    return brush;
}

// rect minus rect shrunk by the thickness on every side. A shrunk
// rectangle turned inside out is empty: CreateRectRgn would swap its
// corners instead.
inline gdi::HRGN CreateFrameRegion(const RECT& rect, SIZE thickness) {
    gdi::HRGN frame = gdi::CreateRectRgnIndirect(&rect);
    RECT shrunk{rect.left + thickness.cx, rect.top + thickness.cy, rect.right - thickness.cx,
                rect.bottom - thickness.cy};
    if (shrunk.left >= shrunk.right || shrunk.top >= shrunk.bottom) shrunk = RECT{0, 0, 0, 0};
    gdi::HRGN inner = gdi::CreateRectRgnIndirect(&shrunk);
    gdi::CombineRgn(inner, inner, frame, gdi::RGN_AND);
    gdi::CombineRgn(frame, frame, inner, gdi::RGN_DIFF);
    gdi::DeleteObject(inner);
    return frame;
}

// Inverts the region through the brush's pattern; TRUE when PatBlt succeeded.
inline BOOL PaintInverted(gdi::HDC dc, gdi::HRGN region, gdi::HBRUSH brush) {
    RECT box{};
    gdi::GetRgnBox(region, &box);
    gdi::SelectClipRgn(dc, region);
    gdi::HGDIOBJ previous = gdi::SelectObject(dc, brush);
    const BOOL result = gdi::PatBlt(dc, box.left, box.top, box.right - box.left, box.bottom - box.top, gdi::PATINVERT);
    gdi::SelectClipRgn(dc, nullptr);
    gdi::SelectObject(dc, previous);
    return result;
}

// Draws the frame of `next` where the frame of `previous` was, touching
// only the pixels that differ.
inline BOOL MoveFrame(gdi::HDC dc, const RECT& previous, const RECT& next, SIZE thickness, gdi::HBRUSH brush) {
    gdi::HRGN a = CreateFrameRegion(previous, thickness);
    gdi::HRGN b = CreateFrameRegion(next, thickness);
    gdi::CombineRgn(a, a, b, gdi::RGN_XOR);
    const BOOL result = PaintInverted(dc, a, brush);
    gdi::DeleteObject(a);
    gdi::DeleteObject(b);
    return result;
}

}  // namespace gditest
