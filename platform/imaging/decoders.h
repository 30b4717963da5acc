#pragma once
// Library-internal: the decoders, each turning a whole file's bytes into
// pixels of the format its kind of file decodes to. None reads outside
// [data, data + size); a truncated or corrupt file gives GenericError, one
// whose decode would pass the budget of decode_limits.h, or that declares
// far more picture than its data holds, OutOfMemory. Every decoder checks
// the whole of what it will hold against that budget before its first
// large allocation.

#include <cstddef>

#include "platform/imaging/guid.h"
#include "platform/imaging/raster.h"
#include "platform/imaging/status.h"

namespace gdiplus {

// No signature is longer than this: a file is read whole only once its
// first signatureBytes (or all of it, when shorter) show a known format.
inline constexpr size_t signatureBytes = 64;  // room for an ftyp box with several brands

// True when some decoder claims a file that begins with these bytes.
bool HasImageSignature(const BYTE* data, size_t size);

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
