#include "platform/imaging/jpeg_metadata.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/imaging/decode_limits.h"

namespace gdiplus {
namespace {

constexpr char exifId[] = "Exif\0";  // with the array's own NUL: "Exif\0\0"
constexpr size_t exifIdBytes = 6;
constexpr char xmpId[] = "http://ns.adobe.com/xap/1.0/";  // NUL included
constexpr size_t xmpIdBytes = sizeof xmpId;
constexpr char iccId[] = "ICC_PROFILE";
constexpr size_t iccHeaderBytes = sizeof iccId + 2;  // and the piece's number and count
constexpr size_t maxSegmentBytes = 65533;

bool Starts(const jpeg_marker_struct* m, const char* id, size_t length) {
    return m->data_length >= length && std::memcmp(m->data, id, length) == 0;
}

// The profile's bytes over all its pieces, so that a file cannot make the
// library gather more than the limit.
size_t IccBytes(j_decompress_ptr cinfo) {
    size_t total = 0;
    for (jpeg_saved_marker_ptr m = cinfo->marker_list; m != nullptr; m = m->next) {
        if (m->marker == JPEG_APP0 + 2 && Starts(m, iccId, sizeof iccId) && m->data_length >= iccHeaderBytes)
            total += m->data_length - iccHeaderBytes;
    }
    return total;
}

}  // namespace

void SaveJpegMetadataMarkers(j_decompress_ptr cinfo) {
    jpeg_save_markers(cinfo, JPEG_APP0 + 1, 0xFFFF);
    jpeg_save_markers(cinfo, JPEG_APP0 + 2, 0xFFFF);
}

void ReadJpegMetadata(j_decompress_ptr cinfo, ImageProperties* properties) {
    size_t iccBytes = IccBytes(cinfo);
    JOCTET* profile = nullptr;
    unsigned int profileBytes = 0;
    // Pieces missing, doubled or out of order make it return false.
    if (iccBytes > 0 && iccBytes <= maxMetadataBytes && jpeg_read_icc_profile(cinfo, &profile, &profileBytes)) {
        KeepIccProfile(profile, profileBytes, properties);
        std::free(profile);
    }
    bool haveExif = false, haveXmp = false;
    for (jpeg_saved_marker_ptr m = cinfo->marker_list; m != nullptr; m = m->next) {
        if (m->marker != JPEG_APP0 + 1) continue;
        // The first of each counts, as in every reader.
        if (!haveExif && Starts(m, exifId, exifIdBytes)) {
            haveExif = true;
            KeepExif(m->data + exifIdBytes, m->data_length - exifIdBytes, properties);
        } else if (!haveXmp && Starts(m, xmpId, xmpIdBytes)) {
            haveXmp = true;
            KeepXmp(m->data + xmpIdBytes, m->data_length - xmpIdBytes, properties);
        }
    }
}

void WriteJpegMetadata(j_compress_ptr cinfo, const MetadataBlocks& blocks) {
    auto write = [cinfo](const char* id, size_t idBytes, const std::vector<BYTE>& block) {
        if (block.empty() || block.size() > maxSegmentBytes - idBytes) return;
        jpeg_write_m_header(cinfo, JPEG_APP0 + 1, static_cast<unsigned int>(idBytes + block.size()));
        for (size_t i = 0; i < idBytes; ++i) jpeg_write_m_byte(cinfo, static_cast<unsigned char>(id[i]));
        for (BYTE b : block) jpeg_write_m_byte(cinfo, b);
    };
    write(exifId, exifIdBytes, blocks.exif);
    write(xmpId, xmpIdBytes, blocks.xmp);
    if (!blocks.iccProfile.empty()) {
        jpeg_write_icc_profile(cinfo, blocks.iccProfile.data(), static_cast<unsigned int>(blocks.iccProfile.size()));
    }
}

}  // namespace gdiplus
