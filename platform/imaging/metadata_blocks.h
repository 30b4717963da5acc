#pragma once
// Library-internal: the colour profile, EXIF block and XMP packet of a file,
// as the decoders keep them with the pixels (as property items) and the
// encoders write them. Only these calls touch EXIF and XMP contents, so a
// new decoder or encoder needs a few lines: Keep... for each block it finds,
// BlocksToWrite once and its own format's way of storing each block.

#include <cstddef>
#include <vector>

#include "platform/imaging/image_properties.h"
#include "platform/types.h"

namespace gdiplus {

// Decoders. Each keeps a block as items, and drops one that is larger than
// maxMetadataBytes or malformed; none can fail a decode.

// A whole ICC profile (item PropertyTagICCProfile).
void KeepIccProfile(const BYTE* data, size_t size, ImageProperties* properties);
// An EXIF block from its TIFF header on ("Exif\0\0" before it is skipped):
// the block itself (PropertyTagExifBlock) and an item for each entry.
void KeepExif(const BYTE* data, size_t size, ImageProperties* properties);
// The EXIF of a TIFF file, whose first directory is the picture's own: its
// descriptive entries (camera, date, artist, orientation...) with the EXIF
// and GPS directories, without those that lay out the picture.
void KeepTiffExif(const BYTE* file, size_t size, ImageProperties* properties);
// An XMP packet (item PropertyTagXmpPacket).
void KeepXmp(const BYTE* data, size_t size, ImageProperties* properties);

// Encoders. Empty blocks are not written.
struct MetadataBlocks {
    std::vector<BYTE> iccProfile;
    // From the TIFF header on: the EXIF block the items came with, changed
    // only where the items now differ from it (entries changed, added or
    // removed, the thumbnail dropped); made from the items when there is
    // no block. Byte for byte the block read when nothing differs.
    std::vector<BYTE> exif;
    // The packet as read, except that its orientation and dimensions follow
    // the EXIF written (left out when it has none), and so does its GPS
    // position: it is kept only while the EXIF keeps one.
    std::vector<BYTE> xmp;
};
MetadataBlocks BlocksToWrite(const ImageProperties& properties);

// Adds the entries of an EXIF block (as BlocksToWrite gives it) to a whole
// TIFF file: the file's own tags win, the thumbnail is not carried (a second
// directory of a TIFF file is a page of its own). The file is left as it
// was when that cannot be done.
void AddExifToTiff(const std::vector<BYTE>& exif, std::vector<BYTE>* file);

}  // namespace gdiplus
