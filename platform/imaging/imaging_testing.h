#pragma once
// What the imaging library's tests (and fuzzers and benchmarks) arrange and
// read back; the system's code never includes this header. The functions
// are part of pelmora_platform_imaging.

#include <cstddef>

#include "platform/imaging/codec_info.h"
#include "platform/imaging/guid.h"
#include "platform/imaging/property_item.h"
#include "platform/imaging/records.h"
#include "platform/imaging/status.h"

namespace gdiplus {

// Live objects, so that tests can prove every image and graphics they
// caused to be made was deleted again.
size_t LiveImageCount();
size_t LiveGraphicsCount();

// The memory a decode may take (see DecodeMemoryLimit); 0 restores the
// default, a quarter of the physical memory.
void SetDecodeMemoryLimit(size_t bytes);

// Saving: every write fails (as a broken disk would) once this many bytes
// of the file have been written; SIZE_MAX turns it off.
void SetWriteFaultAfter(size_t bytes);
// Saving: called with the bytes written so far before each block of the
// file is written, and once more after the last; null turns it off.
void SetWriteProbe(void (*probe)(size_t written));
// Saving: false makes every save use a named temporary file, as on file
// systems without unnamed ones; true (the default) uses those where it can.
void SetUnnamedTemporaryFiles(bool allowed);

// Library operations the system never calls, for making pictures and
// reading them back.

// The format a decoded bitmap came from (ImageFormatJPEG, ...).
Status GdipGetImageRawFormat(GpImage* image, GUID* format);
// Replaces the palette of an indexed bitmap (at most 256 entries, and no
// more than its depth can address).
Status GdipSetImagePalette(GpImage* image, const ColorPalette* palette);
// The decoders, as GdipGetImageEncodersSize and GdipGetImageEncoders give
// the encoders: the same codecs, since each reads the format it writes
// (and no other format is read).
Status GdipGetImageDecodersSize(UINT* numDecoders, UINT* size);
Status GdipGetImageDecoders(UINT numDecoders, UINT size, ImageCodecInfo* decoders);
// PropertyNotFound when the image has no item of that id.
Status GdipRemovePropertyItem(GpImage* image, PROPID propId);

}  // namespace gdiplus
