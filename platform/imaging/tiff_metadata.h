#pragma once
// Library-internal: the metadata of TIFF files, in the tags InterColorProfile
// (34675) and XMLPacket (700) and in the EXIF and GPS directories.

#include <tiffio.h>

#include "platform/imaging/metadata_blocks.h"

namespace gdiplus {

// file is the whole file tif reads, its first directory current.
void ReadTiffMetadata(TIFF* tif, const BYTE* file, size_t size, ImageProperties* properties);
// The profile and the packet; before the first row. The EXIF goes in after
// the file is written, with AddExifToTiff.
void WriteTiffMetadata(TIFF* tif, const MetadataBlocks& blocks);

}  // namespace gdiplus
