#pragma once
// Library-internal: how large a picture the decoders accept. A file that
// declares a side above 65535 pixels, or whose decoded pixels would take
// more than a quarter of the machine's physical memory, is refused before
// anything large is allocated.

#include <cstddef>

#include "platform/imaging/status.h"
#include "platform/types.h"

namespace gdiplus {

inline constexpr UINT maxDecodedSide = 65535;

// The largest colour profile, EXIF block or XMP packet a decoder keeps with
// the pixels (and a property item may hold); a larger one is dropped.
inline constexpr size_t maxMetadataBytes = size_t{4} << 20;

// Ok when a bitmap of width x height at bitsPerPixel, plus extraBytes of
// working memory, is within the limits; OutOfMemory otherwise.
Status CheckDecodeSize(UINT width, UINT height, UINT bitsPerPixel, size_t extraBytes = 0);

// The memory a decode may take. 0 restores the default, a quarter of the
// physical memory; fuzzing and tests set a smaller cap.
void SetDecodeMemoryLimit(size_t bytes);
size_t DecodeMemoryLimit();

}  // namespace gdiplus
