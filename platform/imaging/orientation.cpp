#include "platform/imaging/orientation.h"

#include <algorithm>
#include <cstring>

namespace gdiplus {
namespace {

struct TiffReader {
    const BYTE* data;
    size_t size;
    bool bigEndian;

    bool Has(size_t offset, size_t bytes) const { return offset <= size && bytes <= size - offset; }
    unsigned U16(size_t offset) const {
        const BYTE* p = data + offset;
        return bigEndian ? (p[0] << 8 | p[1]) : (p[0] | p[1] << 8);
    }
    unsigned long U32(size_t offset) const {
        const BYTE* p = data + offset;
        return bigEndian ? (static_cast<unsigned long>(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3])
                         : (p[0] | p[1] << 8 | p[2] << 16 | static_cast<unsigned long>(p[3]) << 24);
    }
};

constexpr unsigned orientationTag = 0x0112;
constexpr unsigned typeShort = 3;

}  // namespace

int ExifOrientation(const BYTE* app1, size_t size) {
    static const BYTE exifId[6] = {'E', 'x', 'i', 'f', 0, 0};
    if (size < 6 || std::memcmp(app1, exifId, 6) != 0) return 1;
    TiffReader tiff{app1 + 6, size - 6, false};
    if (!tiff.Has(0, 8)) return 1;
    if (tiff.data[0] == 'M' && tiff.data[1] == 'M') {
        tiff.bigEndian = true;
    } else if (!(tiff.data[0] == 'I' && tiff.data[1] == 'I')) {
        return 1;
    }
    if (tiff.U16(2) != 42) return 1;
    size_t ifd = tiff.U32(4);
    if (!tiff.Has(ifd, 2)) return 1;
    unsigned entries = tiff.U16(ifd);
    for (unsigned i = 0; i < entries; ++i) {
        size_t entry = ifd + 2 + 12 * static_cast<size_t>(i);
        if (!tiff.Has(entry, 12)) return 1;
        if (tiff.U16(entry) != orientationTag) continue;
        if (tiff.U16(entry + 2) != typeShort || tiff.U32(entry + 4) < 1) return 1;
        unsigned value = tiff.U16(entry + 8);
        return value >= 1 && value <= 8 ? static_cast<int>(value) : 1;
    }
    return 1;
}

void ReportUpright(ImageProperties* properties) {
    if (properties->Find(orientationTag) != nullptr) {
        const BYTE one[2] = {1, 0};
        properties->Set(orientationTag, typeShort, one, sizeof one);
    }
}

Status ApplyOrientation(Raster* raster, int orientation) {
    if (orientation < 2 || orientation > 8) return Ok;
    UINT bits = GetPixelFormatSize(raster->Format());
    if (bits < 8) return Ok;
    size_t pixelBytes = bits / 8;
    UINT w = raster->Width(), h = raster->Height();
    bool transposed = orientation >= 5;
    UINT outW = transposed ? h : w, outH = transposed ? w : h;

    Raster upright;
    if (Status s = Raster::Allocate(outW, outH, raster->Format(), false, &upright); s != Ok) return s;
    upright.palette = raster->palette;
    upright.paletteFlags = raster->paletteFlags;
    upright.properties = std::move(raster->properties);

    // For each pixel (x, y) of the upright picture, the stored pixel it
    // comes from. Done in tiles so that turned reads stay in the cache.
    constexpr UINT tile = 64;
    for (UINT ty = 0; ty < outH; ty += tile) {
        for (UINT tx = 0; tx < outW; tx += tile) {
            UINT yEnd = std::min(outH, ty + tile), xEnd = std::min(outW, tx + tile);
            for (UINT y = ty; y < yEnd; ++y) {
                BYTE* out = upright.Row(y);
                for (UINT x = tx; x < xEnd; ++x) {
                    UINT sx, sy;
                    switch (orientation) {
                        case 2: sx = w - 1 - x, sy = y; break;
                        case 3: sx = w - 1 - x, sy = h - 1 - y; break;
                        case 4: sx = x, sy = h - 1 - y; break;
                        case 5: sx = y, sy = x; break;
                        case 6: sx = y, sy = h - 1 - x; break;
                        case 7: sx = w - 1 - y, sy = h - 1 - x; break;
                        default: sx = w - 1 - y, sy = x; break;  // 8
                    }
                    std::memcpy(out + x * pixelBytes, raster->Row(sy) + sx * pixelBytes, pixelBytes);
                }
            }
        }
    }
    // The items describe the bitmap, whose pixels now are upright.
    ReportUpright(&upright.properties);
    *raster = std::move(upright);
    return Ok;
}

}  // namespace gdiplus
