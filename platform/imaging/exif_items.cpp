#include "platform/imaging/exif_items.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <unordered_set>

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"  // exiv2's AutoPtr

namespace gdiplus {
namespace {

// Entries of the thumbnail's directory and the ids they show as.
struct ThumbnailTag {
    uint16_t tag;
    PROPID id;
};
constexpr ThumbnailTag thumbnailTags[] = {
    {0x0100, 0x5020}, {0x0101, 0x5021}, {0x0102, 0x5022}, {0x0103, 0x5023}, {0x0106, 0x5024}, {0x010E, 0x5025},
    {0x010F, 0x5026}, {0x0110, 0x5027}, {0x0112, 0x5029}, {0x0115, 0x502A}, {0x0116, 0x502B}, {0x011A, 0x502D},
    {0x011B, 0x502E}, {0x011C, 0x502F}, {0x0128, 0x5030}, {0x012D, 0x5031}, {0x0131, 0x5032}, {0x0132, 0x5033},
    {0x013B, 0x5034}, {0x013E, 0x5035}, {0x013F, 0x5036}, {0x0211, 0x5037}, {0x0212, 0x5038}, {0x0213, 0x5039},
    {0x0214, 0x503A}, {0x8298, 0x503B},
};

// Entries whose values are positions inside the block, which exiv2 keeps
// right itself; they mean nothing outside it.
bool IsPointerTag(PROPID id) {
    switch (id) {
        case 0x0111:
        case 0x0117:  // strips
        case 0x0144:
        case 0x0145:  // tiles
        case 0x014A:  // sub-directories
        case 0x0201:
        case 0x0202:  // JPEG data
        case 0x8769:
        case 0x8825:
        case 0xA005:  // EXIF, GPS, interoperability directories
            return true;
        default: return false;
    }
}

// Items of other kinds, or of the library's own numbering.
bool IsOtherItem(PROPID id) {
    return id == PropertyTagICCProfile || id == PropertyTagXmpPacket || id == PropertyTagExifBlock ||
           (id >= 0x5000 && id <= 0x5FFF) || id > 0xFFFF;
}

const std::unordered_set<uint16_t>& ExifDirectoryTags() {
    static const std::unordered_set<uint16_t> tags = [] {
        std::unordered_set<uint16_t> made;
        for (const Exiv2::TagInfo* t = Exiv2::ExifTags::tagList("Photo"); t->tag_ != 0xFFFF; ++t) made.insert(t->tag_);
        return made;
    }();
    return tags;
}

}  // namespace

void InitializeExiv2() {
    static std::once_flag once;
    std::call_once(once, [] {
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
        Exiv2::XmpParser::initialize();
    });
}

std::optional<Exiv2::ExifKey> EntryKeyOf(PROPID id) {
    if (IsPointerTag(id)) return std::nullopt;
    if (id <= PropertyTagGpsLast) return Exiv2::ExifKey(static_cast<uint16_t>(id), "GPSInfo");
    for (const ThumbnailTag& t : thumbnailTags) {
        if (t.id == id) return Exiv2::ExifKey(t.tag, "Thumbnail");
    }
    if (IsOtherItem(id)) return std::nullopt;
    uint16_t tag = static_cast<uint16_t>(id);
    return Exiv2::ExifKey(tag, ExifDirectoryTags().count(tag) != 0 ? "Photo" : "Image");
}

std::optional<PROPID> ItemIdOf(const Exiv2::Exifdatum& entry) {
    std::string group = entry.groupName();
    PROPID id = entry.tag();
    if (group == "Thumbnail") {
        auto t = std::find_if(std::begin(thumbnailTags), std::end(thumbnailTags),
                              [&](const ThumbnailTag& t) { return t.tag == entry.tag(); });
        if (t == std::end(thumbnailTags)) return std::nullopt;
        id = t->id;
    } else if (group != "Image" && group != "Photo" && group != "GPSInfo") {
        return std::nullopt;
    }
    // Only where the id leads back to this very entry: a tag of the EXIF
    // directory found in the first one stays in the block.
    std::optional<Exiv2::ExifKey> key = EntryKeyOf(id);
    if (!key || key->groupName() != group || key->tag() != entry.tag()) return std::nullopt;
    return id;
}

namespace {

WORD ItemType(Exiv2::TypeId type) {
    switch (type) {
        case Exiv2::unsignedByte: return PropertyTagTypeByte;
        case Exiv2::asciiString: return PropertyTagTypeASCII;
        case Exiv2::unsignedShort: return PropertyTagTypeShort;
        case Exiv2::unsignedLong: return PropertyTagTypeLong;
        case Exiv2::unsignedRational: return PropertyTagTypeRational;
        case Exiv2::signedLong: return PropertyTagTypeSLONG;
        case Exiv2::signedRational: return PropertyTagTypeSRational;
        default: return PropertyTagTypeUndefined;
    }
}

std::vector<BYTE> EntryBytes(const Exiv2::Exifdatum& entry) {
    std::vector<BYTE> bytes(entry.size());
    if (!bytes.empty()) entry.copy(bytes.data(), Exiv2::littleEndian);
    return bytes;
}

}  // namespace

PropertyEntry ItemOf(PROPID id, const Exiv2::Exifdatum& entry) {
    return PropertyEntry{id, ItemType(entry.typeId()), EntryBytes(entry)};
}

bool HoldsItem(const Exiv2::Exifdatum& entry, const PropertyEntry& item) {
    return ItemType(entry.typeId()) == item.type && entry.size() == static_cast<long>(item.value.size()) &&
           EntryBytes(entry) == item.value;
}

Exiv2::Value::AutoPtr ValueOf(const PropertyEntry& item) {
    Exiv2::TypeId type = Exiv2::undefined;
    switch (item.type) {
        case PropertyTagTypeByte:
        case PropertyTagTypeASCII:
        case PropertyTagTypeShort:
        case PropertyTagTypeLong:
        case PropertyTagTypeRational:
        case PropertyTagTypeSLONG:
        case PropertyTagTypeSRational: type = static_cast<Exiv2::TypeId>(item.type); break;
        default: break;
    }
    Exiv2::Value::AutoPtr value = Exiv2::Value::create(type);
    value->read(item.value.data(), static_cast<long>(item.value.size()), Exiv2::littleEndian);
    return value;
}

bool IsTiffHeader(const BYTE* data, size_t size) {
    return size >= 8 && (std::memcmp(data, "II*\0", 4) == 0 || std::memcmp(data, "MM\0*", 4) == 0);
}

}  // namespace gdiplus
