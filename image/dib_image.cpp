#include "image/dib_image.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

#include "image/imaging_runtime.h"
#include "image/memory_dc_pool.h"
#include "platform/gdi/bitmaps.h"
#include "platform/gdi/handles.h"
#include "platform/gdi/plg_blt.h"
#include "platform/gdi/surfaces.h"

namespace {

// A BITMAPINFO with room for a full colour table (or three masks).
struct BitmapInfoBuffer {
    gdi::BITMAPINFOHEADER header;
    gdi::RGBQUAD colors[256];
};

}  // namespace

CDibImage::CDibImage() { ImagingRuntime::Instance().RegisterImage(); }

CDibImage::~CDibImage() {
    FreeDib();
    // A hold still outstanding would strand the surface: hand it back.
    if (memoryDc != nullptr) {
        MemoryDcPool::PutDc(memoryDc);
        memoryDc = nullptr;
        dcRefCount = 0;
    }
    ImagingRuntime::Instance().UnregisterImage();
}

bool CDibImage::CreateDib(LONG newWidth, LONG newHeight, int newBitsPerPixel, DWORD compression, const DWORD* masks,
                          DWORD flags) {
    // Creating over a held bitmap would lose it.
    if (bitmap != nullptr) return false;
    if (compression == gdi::BI_BITFIELDS && masks == nullptr) return false;
    if (newBitsPerPixel < 0 || newBitsPerPixel > 0xFFFF) return false;  // not a WORD

    // Value-initialised: all 256 colours black until WriteColorTable.
    std::unique_ptr<BitmapInfoBuffer> info(new (std::nothrow) BitmapInfoBuffer());
    if (info == nullptr) return false;
    info->header.biSize = sizeof(gdi::BITMAPINFOHEADER);
    info->header.biWidth = newWidth;
    info->header.biHeight = newHeight;
    info->header.biPlanes = 1;
    info->header.biBitCount = static_cast<WORD>(newBitsPerPixel);
    info->header.biCompression = compression;
    if (newBitsPerPixel > 8 && compression == gdi::BI_BITFIELDS) {
        std::memcpy(info->colors, masks, 3 * sizeof(DWORD));
    }

    void* pixels = nullptr;
    gdi::HBITMAP created = gdi::CreateDIBSection(nullptr, reinterpret_cast<const gdi::BITMAPINFO*>(info.get()),
                                                 gdi::DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (created == nullptr) return false;
    bitmap = created;
    RefreshDescription(newHeight < 0 ? Orientation::topDown : Orientation::bottomUp);
    if ((flags & dibHasAlpha) != 0) hasAlpha = true;
    return true;
}

void CDibImage::RefreshDescription(Orientation orientation) {
    gdi::DIBSECTION section{};
    const int filled = gdi::GetObjectA(bitmap, sizeof section, &section);
    transparentIndex = -1;
    hasAlpha = false;
    if (filled == int{sizeof(gdi::DIBSECTION)}) {
        width = section.dsBmih.biWidth;
        height = section.dsBmih.biHeight < 0 ? -section.dsBmih.biHeight : section.dsBmih.biHeight;
        bitsPerPixel = section.dsBmih.biBitCount;
        pitch = static_cast<LONG>(gdi::DibRowBytes(width, bitsPerPixel));
        bits = static_cast<BYTE*>(section.dsBm.bmBits);
        isDibSection = true;
        if (orientation == Orientation::bottomUp && height > 0) {
            bits += static_cast<std::ptrdiff_t>(height - 1) * pitch;
            pitch = -pitch;
        }
    } else {
        width = section.dsBm.bmWidth;
        height = section.dsBm.bmHeight;
        bitsPerPixel = section.dsBm.bmBitsPixel;
        bits = nullptr;
        pitch = 0;
        isDibSection = false;
    }
}

void CDibImage::WriteColorTable(UINT first, UINT count, const gdi::RGBQUAD* entries) {
    if (AcquireDc() == nullptr) return;
    gdi::SetDIBColorTable(memoryDc, first, count, entries);
    ReturnDc();
}

gdi::HDC CDibImage::AcquireDc() {
    if (memoryDc == nullptr) {
        gdi::HDC dc = MemoryDcPool::TakeDc();
        if (dc == nullptr) return nullptr;
        memoryDc = dc;
        previousBitmap = gdi::SelectObject(memoryDc, bitmap);
    }
    ++dcRefCount;
    return memoryDc;
}

void CDibImage::ReturnDc() {
    if (dcRefCount <= 0) return;
    if (--dcRefCount > 0) return;
    if (previousBitmap != nullptr) gdi::SelectObject(memoryDc, previousBitmap);
    MemoryDcPool::PutDc(memoryDc);
    memoryDc = nullptr;
    previousBitmap = nullptr;
}

BOOL CDibImage::DrawToParallelogram(gdi::HDC destination, const POINT* points, LONG srcX, LONG srcY, LONG srcWidth,
                                    LONG srcHeight, gdi::HBITMAP mask, LONG maskX, LONG maskY) {
    if (AcquireDc() == nullptr) return FALSE;
    const BOOL result = gdi::PlgBlt(destination, points, memoryDc, srcX, srcY, srcWidth, srcHeight, mask, maskX, maskY);
    ReturnDc();
    return result;
}

BOOL CDibImage::FreeDib() {
    if (bitmap == nullptr) return 0;
    gdi::HBITMAP former = bitmap;
    bitmap = nullptr;
    bits = nullptr;
    width = 0;
    height = 0;
    bitsPerPixel = 0;
    pitch = 0;
    transparentIndex = -1;
    hasAlpha = false;
    isDibSection = false;
    propertyItems.Clear();  // they were the picture's
    // While a hold is outstanding the bitmap is selected and could not be
    // deleted: put the surface's previous bitmap back first. The hold keeps
    // its surface and ends as usual.
    if (memoryDc != nullptr && previousBitmap != nullptr) {
        gdi::SelectObject(memoryDc, previousBitmap);
    }
    return gdi::DeleteObject(former);
}
