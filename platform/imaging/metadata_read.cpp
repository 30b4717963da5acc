// Keeping a file's colour profile, EXIF and XMP as property items. Whatever
// is wrong with a block, the block is dropped and the decode goes on: exiv2
// is called only inside try blocks that catch everything.

#include <cstring>
#include <string>

#include "platform/imaging/decode_limits.h"
#include "platform/imaging/exif_items.h"
#include "platform/imaging/metadata_blocks.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"  // exiv2's AutoPtr

namespace gdiplus {
namespace {

unsigned long BigEndian32(const BYTE* p) {
    return static_cast<unsigned long>(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
}

// Tags of a TIFF file's first directory that lay out its picture: they
// describe the file's pixels, not the photograph, and the encoders write
// their own.
bool LaysOutPicture(uint16_t tag) {
    switch (tag) {
        case 0x00FE:
        case 0x00FF:
        case 0x0100:
        case 0x0101:
        case 0x0102:
        case 0x0103:
        case 0x0106:
        case 0x0107:
        case 0x0108:
        case 0x0109:
        case 0x010A:
        case 0x0111:
        case 0x0115:
        case 0x0116:
        case 0x0117:
        case 0x0118:
        case 0x0119:
        case 0x011C:
        case 0x0122:
        case 0x0123:
        case 0x0124:
        case 0x0125:
        case 0x0129:
        case 0x013D:
        case 0x0140:
        case 0x0141:
        case 0x0142:
        case 0x0143:
        case 0x0144:
        case 0x0145:
        case 0x014A:
        case 0x014C:
        case 0x014D:
        case 0x014E:
        case 0x0150:
        case 0x0151:
        case 0x0152:
        case 0x0153:
        case 0x0154:
        case 0x0155:
        case 0x015B:
        case 0x0211:
        case 0x0212:
        case 0x0213:
        case 0x02BC:
        case 0x83BB:
        case 0x8649:
        case 0x8773:  // XMP, IPTC, Photoshop, profile: kept apart
            return true;
        default: return tag >= 0x0200 && tag <= 0x0209;  // old-style JPEG
    }
}

}  // namespace

void KeepIccProfile(const BYTE* data, size_t size, ImageProperties* properties) {
    // A profile states its own size and carries the signature "acsp".
    if (data == nullptr || size < 132 || size > maxMetadataBytes) return;
    if (BigEndian32(data) != size || std::memcmp(data + 36, "acsp", 4) != 0) return;
    properties->Set(PropertyTagICCProfile, PropertyTagTypeByte, data, size);
}

void KeepExif(const BYTE* data, size_t size, ImageProperties* properties) {
    if (data != nullptr && size >= 6 && std::memcmp(data, "Exif\0\0", 6) == 0) data += 6, size -= 6;
    if (data == nullptr || size > maxMetadataBytes || !IsTiffHeader(data, size)) return;
    try {
        InitializeExiv2();
        Exiv2::ExifData entries;
        Exiv2::ExifParser::decode(entries, data, static_cast<uint32_t>(size));
        if (entries.empty()) return;
        ImageProperties items;
        if (!items.Set(PropertyTagExifBlock, PropertyTagTypeUndefined, data, size)) return;
        for (const Exiv2::Exifdatum& entry : entries) {
            std::optional<PROPID> id = ItemIdOf(entry);
            if (!id || items.Find(*id) != nullptr) continue;
            PropertyEntry item = ItemOf(*id, entry);
            items.Set(item.id, item.type, item.value.data(), item.value.size());
        }
        Exiv2::ExifThumbC thumbnail(entries);
        Exiv2::DataBuf bytes = thumbnail.copy();
        if (bytes.size_ > 0) {
            ULONG format = std::string(thumbnail.mimeType()) == "image/jpeg" ? 1 : 0;
            items.Set(PropertyTagThumbnailFormat, PropertyTagTypeLong, reinterpret_cast<const BYTE*>(&format),
                      sizeof format);
            items.Set(PropertyTagThumbnailData, PropertyTagTypeByte, bytes.pData_, static_cast<size_t>(bytes.size_));
        }
        for (const PropertyEntry& item : items.Entries()) {
            if (!properties->Set(item.id, item.type, item.value.data(), item.value.size())) return;
        }
    } catch (...) {
        // A block exiv2 cannot read is left out.
    }
}

void KeepTiffExif(const BYTE* file, size_t size, ImageProperties* properties) {
    if (file == nullptr || !IsTiffHeader(file, size) || size > UINT32_MAX) return;
    try {
        InitializeExiv2();
        Exiv2::ExifData entries;
        Exiv2::ByteOrder order = Exiv2::ExifParser::decode(entries, file, static_cast<uint32_t>(size));
        for (auto it = entries.begin(); it != entries.end();) {
            std::string group = it->groupName();
            bool kept = (group == "Image" && !LaysOutPicture(it->tag())) || group == "Photo" || group == "GPSInfo" ||
                        group == "Iop";
            it = kept ? std::next(it) : entries.erase(it);
        }
        if (entries.empty()) return;
        Exiv2::Blob block;
        Exiv2::ExifParser::encode(block, order, entries);
        KeepExif(block.data(), block.size(), properties);
    } catch (...) {
        // The file's pixels are read all the same.
    }
}

void KeepXmp(const BYTE* data, size_t size, ImageProperties* properties) {
    if (data == nullptr || size == 0 || size > maxMetadataBytes) return;
    try {
        InitializeExiv2();
        Exiv2::XmpData entries;
        if (Exiv2::XmpParser::decode(entries, std::string(reinterpret_cast<const char*>(data), size)) != 0) return;
        properties->Set(PropertyTagXmpPacket, PropertyTagTypeByte, data, size);
    } catch (...) {
        // Not XML that exiv2 can read: left out.
    }
}

}  // namespace gdiplus
