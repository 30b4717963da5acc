#pragma once
// Owns one imaging-library bitmap for the length of one operation, and
// keeps the status of the call that made it, then of the last call on it
// that failed.

#include "platform/gdi/records.h"
#include "platform/imaging/bitmap.h"
#include "platform/imaging/bitmap_from_hbitmap.h"
#include "platform/imaging/graphics.h"

class GdipBitmapHolder {
public:
    // The creating calls; each records its status, Ok included.
    static GdipBitmapHolder FromFile(const gdiplus::WCHAR* path);
    static GdipBitmapHolder FromScan0(gdiplus::INT width, gdiplus::INT height, gdiplus::INT stride,
                                      gdiplus::PixelFormat format, BYTE* firstRow);
    static GdipBitmapHolder FromHbitmap(gdi::HBITMAP bitmap, gdiplus::HPALETTE palette);

    // Disposes of the bitmap.
    ~GdipBitmapHolder();
    GdipBitmapHolder(const GdipBitmapHolder&) = delete;
    GdipBitmapHolder& operator=(const GdipBitmapHolder&) = delete;

    gdiplus::GpBitmap* Image() const { return imageHandle; }

    // The recorded status; reading it resets it to Ok.
    gdiplus::Status LastStatus();

    // Calls on the bitmap. Each returns its status and records it when it
    // is not Ok.
    gdiplus::Status GetPixelFormat(gdiplus::PixelFormat* format);
    gdiplus::Status GetWidth(UINT* width);
    gdiplus::Status GetHeight(UINT* height);
    gdiplus::Status GetPaletteSize(gdiplus::INT* size);
    gdiplus::Status GetPalette(gdiplus::ColorPalette* palette, gdiplus::INT size);
    gdiplus::Status LockBits(const gdiplus::Rect* rect, UINT flags, gdiplus::PixelFormat format,
                             gdiplus::BitmapData* data);
    gdiplus::Status UnlockBits(gdiplus::BitmapData* data);
    gdiplus::Status GetGraphicsContext(gdiplus::GpGraphics** graphics);

private:
    GdipBitmapHolder(gdiplus::GpBitmap* image, gdiplus::Status status) : imageHandle(image), recordedStatus(status) {}
    gdiplus::Status Record(gdiplus::Status status);

    gdiplus::GpBitmap* imageHandle;  // null when the creating call failed
    gdiplus::Status recordedStatus;
};
