#include <algorithm>
#include <cstring>
#include <new>

#include "platform/imaging/encoders.h"

namespace gdiplus {

bool HasAlpha(const Raster& raster) {
    PixelFormat format = raster.Format();
    if (IsIndexedPixelFormat(format)) {
        return std::any_of(raster.palette.begin(), raster.palette.end(), [](ARGB c) { return (c >> 24) != 0xFF; });
    }
    return IsAlphaPixelFormat(format);
}

RowReader::RowReader(const Raster& raster, PixelFormat format) : raster_(raster), format_(format) {
    if (format == raster.Format()) return;
    try {
        row_.resize(RowBytes(raster.Width(), format));
        line_.resize(raster.Width());
    } catch (const std::bad_alloc&) {
        failed_ = true;
    }
}

const BYTE* RowReader::Row(UINT y) {
    if (failed_) return nullptr;
    if (format_ == raster_.Format()) return raster_.Row(y);
    UnpackRow(raster_.Row(y), 0, raster_.Width(), raster_.Format(), raster_.palette.data(),
              static_cast<UINT>(raster_.palette.size()), line_.data());
    PackRow(line_.data(), raster_.Width(), format_, row_.data(), 0);
    return row_.data();
}

}  // namespace gdiplus
