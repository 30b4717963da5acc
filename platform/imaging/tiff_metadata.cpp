#include "platform/imaging/tiff_metadata.h"

namespace gdiplus {

void ReadTiffMetadata(TIFF* tif, const BYTE* file, size_t size, ImageProperties* properties) {
    uint32_t length = 0;
    void* data = nullptr;
    if (TIFFGetField(tif, TIFFTAG_ICCPROFILE, &length, &data) == 1) {
        KeepIccProfile(static_cast<const BYTE*>(data), length, properties);
    }
    if (TIFFGetField(tif, TIFFTAG_XMLPACKET, &length, &data) == 1) {
        KeepXmp(static_cast<const BYTE*>(data), length, properties);
    }
    KeepTiffExif(file, size, properties);
}

void WriteTiffMetadata(TIFF* tif, const MetadataBlocks& blocks) {
    if (!blocks.iccProfile.empty()) {
        TIFFSetField(tif, TIFFTAG_ICCPROFILE, static_cast<uint32_t>(blocks.iccProfile.size()),
                     blocks.iccProfile.data());
    }
    if (!blocks.xmp.empty()) {
        TIFFSetField(tif, TIFFTAG_XMLPACKET, static_cast<uint32_t>(blocks.xmp.size()), blocks.xmp.data());
    }
}

}  // namespace gdiplus
