// What an encoder writes for a bitmap's property items. exiv2 is called
// only inside try blocks that catch everything: a block that cannot be made
// is not written, and the picture is saved all the same.

#include <algorithm>
#include <set>
#include <string>

#include "platform/imaging/exif_items.h"
#include "platform/imaging/metadata_blocks.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"  // exiv2's AutoPtr

namespace gdiplus {
namespace {

bool IsThumbnailItem(PROPID id) { return id >= PropertyTagThumbnailFirst && id <= PropertyTagThumbnailLast; }

// Brings the entries read from the block (none when there is no block) in
// line with the items; true when anything changed.
bool ApplyItems(const ImageProperties& items, Exiv2::ExifData* entries) {
    bool changed = false;
    // The thumbnail first: dropping it takes its whole directory along,
    // offsets and all, which no item shows.
    const PropertyEntry* thumbnail = items.Find(PropertyTagThumbnailData);
    Exiv2::DataBuf stored = Exiv2::ExifThumbC(*entries).copy();
    bool sameThumbnail = thumbnail != nullptr && stored.size_ == static_cast<long>(thumbnail->value.size()) &&
                         std::equal(thumbnail->value.begin(), thumbnail->value.end(), stored.pData_);
    if (stored.size_ > 0 && thumbnail == nullptr) {
        Exiv2::ExifThumb(*entries).erase();
        changed = true;
    }

    std::set<PROPID> held;
    for (auto it = entries->begin(); it != entries->end();) {
        std::optional<PROPID> id = ItemIdOf(*it);
        if (!id) {
            ++it;
            continue;
        }
        const PropertyEntry* item = items.Find(*id);
        if (item == nullptr) {
            it = entries->erase(it);
            changed = true;
            continue;
        }
        held.insert(*id);
        if (!HoldsItem(*it, *item)) {
            it->setValue(ValueOf(*item).get());
            changed = true;
        }
        ++it;
    }
    for (const PropertyEntry& item : items.Entries()) {
        if (held.count(item.id) != 0) continue;
        // The thumbnail's entries go only with a thumbnail.
        if (IsThumbnailItem(item.id) && thumbnail == nullptr) continue;
        std::optional<Exiv2::ExifKey> key = EntryKeyOf(item.id);
        if (!key) continue;
        entries->add(*key, ValueOf(item).get());
        changed = true;
    }
    if (thumbnail != nullptr && !sameThumbnail) {
        Exiv2::ExifThumb(*entries).setJpegThumbnail(thumbnail->value.data(),
                                                    static_cast<long>(thumbnail->value.size()));
        changed = true;
    }
    return changed;
}

// The EXIF block to write, and its entries in *entries.
std::vector<BYTE> ExifToWrite(const ImageProperties& items, Exiv2::ExifData* entries) {
    std::vector<BYTE> block;
    Exiv2::ByteOrder order = Exiv2::littleEndian;
    if (const PropertyEntry* read = items.Find(PropertyTagExifBlock);
        read != nullptr && IsTiffHeader(read->value.data(), read->value.size())) {
        try {
            order = Exiv2::ExifParser::decode(*entries, read->value.data(), static_cast<uint32_t>(read->value.size()));
            block = read->value;
        } catch (...) {
            // Written from the items alone.
            entries->clear();
            order = Exiv2::littleEndian;
        }
    }
    if (!ApplyItems(items, entries)) return block;
    if (entries->empty()) return {};
    Exiv2::Blob made;
    Exiv2::WriteMethod method = Exiv2::ExifParser::encode(made, block.empty() ? nullptr : block.data(),
                                                          static_cast<uint32_t>(block.size()), order, *entries);
    if (method == Exiv2::wmNonIntrusive) return block;  // changed where it lies
    return std::vector<BYTE>(made.begin(), made.end());
}

// XMP properties that restate an EXIF entry about the picture's geometry.
struct Mirror {
    const char* xmp;
    const char* exif;
};
constexpr Mirror geometry[] = {
    {"Xmp.tiff.Orientation", "Exif.Image.Orientation"},
    {"Xmp.tiff.ImageWidth", "Exif.Image.ImageWidth"},
    {"Xmp.tiff.ImageLength", "Exif.Image.ImageLength"},
    {"Xmp.exif.PixelXDimension", "Exif.Photo.PixelXDimension"},
    {"Xmp.exif.PixelYDimension", "Exif.Photo.PixelYDimension"},
};

std::vector<BYTE> XmpToWrite(const std::vector<BYTE>& packet, const Exiv2::ExifData& exif) {
    Exiv2::XmpData entries;
    if (Exiv2::XmpParser::decode(entries, std::string(packet.begin(), packet.end())) != 0) return {};
    bool changed = false;
    for (const Mirror& m : geometry) {
        auto x = entries.findKey(Exiv2::XmpKey(m.xmp));
        if (x == entries.end()) continue;
        auto e = exif.findKey(Exiv2::ExifKey(m.exif));
        if (e == exif.end()) {
            entries.erase(x);
            changed = true;
        } else if (x->toString() != e->toString()) {
            x->setValue(e->toString());
            changed = true;
        }
    }
    bool exifHasPosition =
        std::any_of(exif.begin(), exif.end(), [](const Exiv2::Exifdatum& e) { return e.groupName() == "GPSInfo"; });
    if (!exifHasPosition) {
        for (auto it = entries.begin(); it != entries.end();) {
            if (it->key().rfind("Xmp.exif.GPS", 0) == 0) {
                it = entries.erase(it);
                changed = true;
            } else {
                ++it;
            }
        }
    }
    if (!changed) return packet;
    std::string written;
    if (Exiv2::XmpParser::encode(written, entries) != 0) return {};
    return std::vector<BYTE>(written.begin(), written.end());
}

}  // namespace

MetadataBlocks BlocksToWrite(const ImageProperties& properties) {
    MetadataBlocks blocks;
    if (properties.Empty()) return blocks;
    try {
        InitializeExiv2();
        if (const PropertyEntry* profile = properties.Find(PropertyTagICCProfile)) blocks.iccProfile = profile->value;
        Exiv2::ExifData exif;
        try {
            blocks.exif = ExifToWrite(properties, &exif);
        } catch (...) {
            blocks.exif.clear();
            exif.clear();
        }
        if (const PropertyEntry* packet = properties.Find(PropertyTagXmpPacket)) {
            try {
                blocks.xmp = XmpToWrite(packet->value, exif);
            } catch (...) {
                // Unchecked, it could hold what the EXIF left out.
                blocks.xmp.clear();
            }
        }
    } catch (...) {
        return MetadataBlocks{};
    }
    return blocks;
}

}  // namespace gdiplus
