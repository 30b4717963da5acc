#include "platform/gdi/bitmaps.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <new>

#include "platform/gdi/objects.h"

namespace gdi {

using namespace internal;

namespace {

constexpr std::int64_t maxPixelBytes = 0x7FFFFFFF;

bool SupportedDepth(int bitsPerPixel) {
    switch (bitsPerPixel) {
        case 1:
        case 4:
        case 8:
        case 16:
        case 24:
        case 32: return true;
        default: return false;
    }
}

// Bytes per row padded to a multiple of alignBits, or -1 when a row or the
// whole image is too large.
LONG RowBytes(LONG width, int bitsPerPixel, LONG height, int alignBits) {
    const std::int64_t bits = std::int64_t{width} * bitsPerPixel;
    if (bits + 31 > 0x7FFFFFFF) return -1;
    const std::int64_t stride = (bits + alignBits - 1) / alignBits * (alignBits / 8);
    if (stride * height > maxPixelBytes) return -1;
    return static_cast<LONG>(stride);
}

bool ValidMasks(const DWORD masks[3], int bitsPerPixel) {
    const std::uint64_t depthMask = (std::uint64_t{1} << bitsPerPixel) - 1;
    DWORD seen = 0;
    for (int i = 0; i < 3; ++i) {
        const DWORD mask = masks[i];
        if (mask == 0 || (mask & ~depthMask) != 0 || (mask & seen) != 0) return false;
        const DWORD run = mask >> std::countr_zero(mask);
        if ((run & (run + 1)) != 0) return false;  // not one run of ones
        seen |= mask;
    }
    return true;
}

// A bitmap of zeroed pixels; null when out of memory.
std::unique_ptr<BitmapObject> ZeroedBitmap(LONG width, LONG height, int depth, LONG stride) {
    auto bitmap = std::make_unique<BitmapObject>();
    bitmap->width = width;
    bitmap->height = height;
    bitmap->bitsPerPixel = depth;
    bitmap->stride = stride;
    // calloc: large images get zero pages lazily instead of a memset.
    bitmap->pixels.reset(static_cast<BYTE*>(std::calloc(static_cast<std::size_t>(stride) * height, 1)));
    if (bitmap->pixels == nullptr) return nullptr;
    return bitmap;
}

}  // namespace

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD) {
    if (bits != nullptr) *bits = nullptr;
    if (info == nullptr || usage != DIB_RGB_COLORS || section != nullptr) return nullptr;
    const BITMAPINFOHEADER& header = info->bmiHeader;
    // 40 bytes, or one of the longer headers that begin with the same fields.
    if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biSize > 124) return nullptr;
    const int depth = header.biBitCount;
    if (header.biPlanes != 1 || !SupportedDepth(depth)) return nullptr;
    const bool bitFields = header.biCompression == BI_BITFIELDS;
    if (header.biCompression != BI_RGB && !(bitFields && (depth == 16 || depth == 32))) {
        return nullptr;
    }
    if (header.biWidth <= 0 || header.biHeight == 0 || header.biHeight == INT32_MIN) {
        return nullptr;
    }
    const LONG width = header.biWidth;
    const LONG height = header.biHeight < 0 ? -header.biHeight : header.biHeight;
    const LONG stride = RowBytes(width, depth, height, 32);
    if (stride < 0) return nullptr;

    const BYTE* afterHeader = reinterpret_cast<const BYTE*>(info) + sizeof(BITMAPINFOHEADER);
    DWORD masks[3] = {0, 0, 0};
    if (bitFields) {
        // The masks sit right after the 40-byte fields, both in a plain
        // header and inside the longer ones.
        std::memcpy(masks, afterHeader, sizeof masks);
        if (!ValidMasks(masks, depth)) return nullptr;
    }

    ObjectTable& table = Objects();
    try {
        std::unique_ptr<BitmapObject> bitmap = ZeroedBitmap(width, height, depth, stride);
        if (bitmap == nullptr) return nullptr;
        bitmap->isDibSection = true;
        bitmap->bottomUp = header.biHeight > 0;
        bitmap->header = header;
        bitmap->header.biSize = sizeof(BITMAPINFOHEADER);
        bitmap->header.biSizeImage = static_cast<DWORD>(stride) * static_cast<DWORD>(height);
        std::memcpy(bitmap->masks, masks, sizeof masks);
        if (depth <= 8) {
            const DWORD entries = DWORD{1} << depth;
            bitmap->colorTable.assign(entries, RGBQUAD{0, 0, 0, 0});
            const DWORD given = header.biClrUsed == 0 ? entries : std::min(header.biClrUsed, entries);
            const BYTE* table = reinterpret_cast<const BYTE*>(info) + header.biSize;
            std::memcpy(bitmap->colorTable.data(), table, given * sizeof(RGBQUAD));
        }
        BYTE* pixels = bitmap->pixels.get();

        std::lock_guard lock(table.mutex);
        HGDIOBJ handle = table.Add(OBJ_BITMAP, std::move(bitmap));
        if (handle != nullptr && bits != nullptr) *bits = pixels;
        return static_cast<HBITMAP>(handle);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* pixels) {
    if (width < 0 || height < 0 || planes != 1 || bitsPerPixel > 32 ||
        !SupportedDepth(static_cast<int>(bitsPerPixel))) {
        return nullptr;
    }
    ObjectTable& table = Objects();
    if (width == 0 || height == 0) {
        std::lock_guard lock(table.mutex);
        return table.DefaultBitmap();
    }
    const int depth = static_cast<int>(bitsPerPixel);
    const LONG stride = RowBytes(width, depth, height, 16);
    if (stride < 0) return nullptr;
    try {
        std::unique_ptr<BitmapObject> bitmap = ZeroedBitmap(width, height, depth, stride);
        if (bitmap == nullptr) return nullptr;
        if (pixels != nullptr) {
            std::memcpy(bitmap->pixels.get(), pixels, static_cast<std::size_t>(stride) * height);
        }
        std::lock_guard lock(table.mutex);
        return static_cast<HBITMAP>(table.Add(OBJ_BITMAP, std::move(bitmap)));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

namespace {

// The colour table of the DIB section selected into dc, if it has one.
std::vector<RGBQUAD>* SelectedColorTable(ObjectTable& table, HDC dc) {
    const SurfaceObject* surface = table.FindSurface(dc);
    if (surface == nullptr || surface->kind != SurfaceKind::Memory) return nullptr;
    BitmapObject* bitmap = table.FindBitmap(surface->bitmap);
    if (bitmap == nullptr || !bitmap->isDibSection || bitmap->colorTable.empty()) return nullptr;
    return &bitmap->colorTable;
}

}  // namespace

UINT SetDIBColorTable(HDC dc, UINT first, UINT count, const RGBQUAD* colors) {
    ObjectTable& table = Objects();
    std::lock_guard lock(table.mutex);
    std::vector<RGBQUAD>* entries = SelectedColorTable(table, dc);
    if (entries == nullptr || colors == nullptr || first >= entries->size()) return 0;
    const UINT n = std::min<UINT>(count, static_cast<UINT>(entries->size()) - first);
    std::copy_n(colors, n, entries->begin() + first);
    return n;
}

UINT GetDIBColorTable(HDC dc, UINT first, UINT count, RGBQUAD* colors) {
    ObjectTable& table = Objects();
    std::lock_guard lock(table.mutex);
    const std::vector<RGBQUAD>* entries = SelectedColorTable(table, dc);
    if (entries == nullptr || colors == nullptr || first >= entries->size()) return 0;
    const UINT n = std::min<UINT>(count, static_cast<UINT>(entries->size()) - first);
    std::copy_n(entries->begin() + first, n, colors);
    return n;
}

}  // namespace gdi
