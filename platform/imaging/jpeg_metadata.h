#pragma once
// Library-internal: the metadata of JPEG files, in APP1 (EXIF, XMP) and
// APP2 (ICC profile, possibly in several pieces) segments.

#include <cstdio>

#include <jpeglib.h>

#include "platform/imaging/metadata_blocks.h"

namespace gdiplus {

// The segments the reader must keep for ReadJpegMetadata; call before
// jpeg_read_header.
void SaveJpegMetadataMarkers(j_decompress_ptr cinfo);
// After jpeg_read_header.
void ReadJpegMetadata(j_decompress_ptr cinfo, ImageProperties* properties);
// After jpeg_start_compress, before the first row. Blocks too large for
// their segment are left out.
void WriteJpegMetadata(j_compress_ptr cinfo, const MetadataBlocks& blocks);

}  // namespace gdiplus
