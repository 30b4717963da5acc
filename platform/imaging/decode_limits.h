#pragma once
// Library-internal: how much a decode may take, and the checks every decoder
// makes before it allocates anything large, so that what a file costs is set
// by what it holds and by the machine, never by what it merely declares.

#include <cstddef>

#include "platform/imaging/status.h"
#include "platform/types.h"

namespace gdiplus {

// No side of a decoded picture is longer than this.
inline constexpr UINT maxDecodedSide = 65535;

// The largest colour profile, EXIF block or XMP packet a decoder keeps with
// the pixels (and a property item may hold); a larger one is dropped. What
// is kept counts in extraBytes below. Text and chunks of no use are never
// kept at all.
inline constexpr size_t maxMetadataBytes = size_t{4} << 20;

// The decode budget. A decoder calls this once it knows the picture's size
// and before its first large allocation, with everything it will hold at
// the same time as the bitmap in extraBytes: working rows and buffers, the
// codec library's own picture-sized buffers (a JPEG coefficient buffer, a
// TIFF strip), kept metadata, a second copy for turning the picture.
// OutOfMemory when a side is longer than maxDecodedSide or the total is
// above DecodeMemoryLimit(); InvalidParameter for an empty picture; Ok
// otherwise. Sum the parts with AddBytes and MultiplyBytes so that values
// a file declares cannot wrap around.
Status CheckDecodeSize(UINT width, UINT height, UINT bitsPerPixel, size_t extraBytes = 0);

// a + b and a * b, or SIZE_MAX when the result does not fit.
size_t AddBytes(size_t a, size_t b);
size_t MultiplyBytes(size_t a, size_t b);

// The memory a decode may take: a quarter of the physical memory unless
// fuzzing or a test sets another cap.
size_t DecodeMemoryLimit();

// Whether a picture's declared area is backed by its data, for formats where
// the data shows how many pixels it can paint (the codes of an RLE bitmap,
// the frames of a GIF). A picture of at most alwaysBackedPixels is always
// accepted; a larger one only when its data covers at least one pixel in
// backedAreaFactor. Otherwise OutOfMemory: a file of a few bytes must not
// make the decoder fill gigabytes with background.
inline constexpr unsigned long long alwaysBackedPixels = 1ull << 24;  // 4096 x 4096
inline constexpr unsigned long long backedAreaFactor = 64;
Status CheckBackedArea(unsigned long long declaredPixels, unsigned long long coveredPixels);

}  // namespace gdiplus
