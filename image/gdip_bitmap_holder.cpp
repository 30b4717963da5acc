#include "image/gdip_bitmap_holder.h"

using namespace gdiplus;

GdipBitmapHolder GdipBitmapHolder::FromFile(const WCHAR* path) {
    GpBitmap* image = nullptr;
    Status status = GdipCreateBitmapFromFile(path, &image);
    return GdipBitmapHolder(image, status);
}

GdipBitmapHolder GdipBitmapHolder::FromScan0(INT width, INT height, INT stride, PixelFormat format, BYTE* firstRow) {
    GpBitmap* image = nullptr;
    Status status = GdipCreateBitmapFromScan0(width, height, stride, format, firstRow, &image);
    return GdipBitmapHolder(image, status);
}

GdipBitmapHolder GdipBitmapHolder::FromHbitmap(gdi::HBITMAP bitmap, HPALETTE palette) {
    GpBitmap* image = nullptr;
    Status status = GdipCreateBitmapFromHBITMAP(bitmap, palette, &image);
    return GdipBitmapHolder(image, status);
}

GdipBitmapHolder::~GdipBitmapHolder() {
    if (imageHandle != nullptr) GdipDisposeImage(imageHandle);
}

Status GdipBitmapHolder::LastStatus() {
    Status status = recordedStatus;
    recordedStatus = Ok;
    return status;
}

Status GdipBitmapHolder::Record(Status status) {
    if (status != Ok) recordedStatus = status;
    return status;
}

Status GdipBitmapHolder::GetPixelFormat(PixelFormat* format) {
    return Record(GdipGetImagePixelFormat(imageHandle, format));
}

Status GdipBitmapHolder::GetWidth(UINT* width) { return Record(GdipGetImageWidth(imageHandle, width)); }

Status GdipBitmapHolder::GetHeight(UINT* height) { return Record(GdipGetImageHeight(imageHandle, height)); }

Status GdipBitmapHolder::GetPaletteSize(INT* size) { return Record(GdipGetImagePaletteSize(imageHandle, size)); }

Status GdipBitmapHolder::GetPalette(ColorPalette* palette, INT size) {
    return Record(GdipGetImagePalette(imageHandle, palette, size));
}

Status GdipBitmapHolder::LockBits(const Rect* rect, UINT flags, PixelFormat format, BitmapData* data) {
    return Record(GdipBitmapLockBits(imageHandle, rect, flags, format, data));
}

Status GdipBitmapHolder::UnlockBits(BitmapData* data) { return Record(GdipBitmapUnlockBits(imageHandle, data)); }

Status GdipBitmapHolder::GetGraphicsContext(GpGraphics** graphics) {
    return Record(GdipGetImageGraphicsContext(imageHandle, graphics));
}
