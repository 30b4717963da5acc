// Windows bitmap files, written by our own code.

#include <algorithm>
#include <cstring>
#include <new>

#include "platform/gdi/records.h"
#include "platform/imaging/encoders.h"

namespace gdiplus {
namespace {

using gdi::BI_BITFIELDS;
using gdi::BI_RGB;

constexpr size_t fileHeaderBytes = 14;
constexpr size_t infoHeaderBytes = 40;
constexpr size_t v5HeaderBytes = 124;
constexpr DWORD LCS_sRGB = 0x73524742;  // 'sRGB'
constexpr DWORD LCS_GM_IMAGES = 4;
constexpr LONG pixelsPerMetre = 3780;  // 96 dots per inch

void Put16(std::vector<BYTE>& out, size_t at, unsigned v) {
    out[at] = static_cast<BYTE>(v), out[at + 1] = static_cast<BYTE>(v >> 8);
}

void Put32(std::vector<BYTE>& out, size_t at, DWORD v) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<BYTE>(v >> (8 * i));
}

}  // namespace

Status EncodeBmp(const Raster& raster, std::vector<BYTE>* out) {
    PixelFormat source = raster.Format();
    bool indexed = IsIndexedPixelFormat(source);
    bool alpha = !indexed && HasAlpha(raster);
    PixelFormat format = indexed ? source : alpha ? PixelFormat32bppARGB : PixelFormat24bppRGB;
    UINT bits = GetPixelFormatSize(format);
    UINT width = raster.Width(), height = raster.Height();

    size_t paletteCount = 0;
    if (indexed) {
        size_t full = size_t{1} << bits;
        paletteCount = raster.palette.empty() ? full : std::min(raster.palette.size(), full);
    }
    size_t headerBytes = alpha ? v5HeaderBytes : infoHeaderBytes;
    size_t offset = fileHeaderBytes + headerBytes + paletteCount * 4;
    size_t rowBytes = gdi::DibRowBytes(width, bits);
    unsigned long long total = offset + static_cast<unsigned long long>(rowBytes) * height;
    if (total > 0xFFFFFFFFull || width > 0x7FFFFFFF || height > 0x7FFFFFFF) return InvalidParameter;

    RowReader rows(raster, format);
    try {
        out->assign(static_cast<size_t>(total), 0);
    } catch (const std::bad_alloc&) {
        return OutOfMemory;
    }
    std::vector<BYTE>& file = *out;
    file[0] = 'B', file[1] = 'M';
    Put32(file, 2, static_cast<DWORD>(total));
    Put32(file, 10, static_cast<DWORD>(offset));
    size_t h = fileHeaderBytes;
    Put32(file, h, static_cast<DWORD>(headerBytes));
    Put32(file, h + 4, width);
    Put32(file, h + 8, height);  // positive: bottom-up
    Put16(file, h + 12, 1);
    Put16(file, h + 14, bits);
    Put32(file, h + 16, alpha ? BI_BITFIELDS : BI_RGB);
    Put32(file, h + 20, static_cast<DWORD>(rowBytes * height));
    Put32(file, h + 24, pixelsPerMetre);
    Put32(file, h + 28, pixelsPerMetre);
    Put32(file, h + 32, paletteCount == (size_t{1} << bits) ? 0 : static_cast<DWORD>(paletteCount));
    if (alpha) {
        Put32(file, h + 40, 0x00FF0000);
        Put32(file, h + 44, 0x0000FF00);
        Put32(file, h + 48, 0x000000FF);
        Put32(file, h + 52, 0xFF000000);
        Put32(file, h + 56, LCS_sRGB);
        Put32(file, h + 108, LCS_GM_IMAGES);
    }
    for (size_t i = 0; i < paletteCount; ++i) {
        ARGB c = i < raster.palette.size() ? raster.palette[i] : (i == 0 ? 0xFF000000u : 0xFFFFFFFFu);
        Put32(file, h + headerBytes + 4 * i, c & 0x00FFFFFF);
    }
    size_t packed = PackedRowBytes(width, format);
    for (UINT y = 0; y < height; ++y) {
        const BYTE* row = rows.Row(y);
        if (row == nullptr) return OutOfMemory;
        std::memcpy(file.data() + offset + static_cast<size_t>(height - 1 - y) * rowBytes, row, packed);
    }
    return Ok;
}

}  // namespace gdiplus
