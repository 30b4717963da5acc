#pragma once
// Library-internal: the decoders, each turning a whole file's bytes into
// pixels of the format its kind of file decodes to. None reads outside
// [data, data + size); a truncated or corrupt file gives GenericError, an
// oversized one OutOfMemory.

#include <cstddef>

#include "platform/imaging/guid.h"
#include "platform/imaging/raster.h"
#include "platform/imaging/status.h"

namespace gdiplus {

// Picks the decoder by the file's signature and reports the file's format
// in rawFormat; UnknownImageFormat when no decoder claims the bytes.
Status DecodeImage(const BYTE* data, size_t size, Raster* out, GUID* rawFormat);

Status DecodeBmp(const BYTE* data, size_t size, Raster* out);
Status DecodeJpeg(const BYTE* data, size_t size, Raster* out);
Status DecodePng(const BYTE* data, size_t size, Raster* out);
Status DecodeGif(const BYTE* data, size_t size, Raster* out);
Status DecodeTiff(const BYTE* data, size_t size, Raster* out);
Status DecodeWebp(const BYTE* data, size_t size, Raster* out);
// HEIC and AVIF alike: both are HEIF files.
Status DecodeHeif(const BYTE* data, size_t size, Raster* out);
Status DecodeJxl(const BYTE* data, size_t size, Raster* out);

}  // namespace gdiplus
