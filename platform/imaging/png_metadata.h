#pragma once
// Library-internal: the metadata of PNG files, in iCCP (ICC profile), eXIf
// (EXIF) and an iTXt chunk keyed "XML:com.adobe.xmp" (XMP).

#include <png.h>

#include "platform/imaging/metadata_blocks.h"

namespace gdiplus {

// Before png_read_info: the XMP packet is taken from its iTXt chunk as the
// chunk is read (uncompressed, as XMP writers store it); every other chunk
// the decoder ignores passes unkept.
void KeepPngXmp(png_structp png, ImageProperties* properties);
// After png_read_info: the profile and EXIF before the image data.
void ReadPngMetadata(png_structp png, png_infop info, ImageProperties* properties);
// Before png_write_info. A profile libpng finds unfit for the picture
// (another colour space, a damaged header) is left out, not an error.
void WritePngMetadata(png_structp png, png_infop info, const MetadataBlocks& blocks);

}  // namespace gdiplus
