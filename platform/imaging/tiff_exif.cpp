// EXIF entries added to a TIFF file through exiv2's own TIFF writer, which
// keeps the file's strips as they are and places the EXIF and GPS
// directories and their pointers.

#include <string>

#include "platform/imaging/exif_items.h"
#include "platform/imaging/metadata_blocks.h"

#pragma GCC diagnostic ignored "-Wdeprecated-declarations"  // exiv2's AutoPtr

namespace gdiplus {

void AddExifToTiff(const std::vector<BYTE>& exif, std::vector<BYTE>* file) {
    if (exif.empty() || file->empty()) return;
    try {
        InitializeExiv2();
        Exiv2::ExifData entries;
        Exiv2::ExifParser::decode(entries, exif.data(), static_cast<uint32_t>(exif.size()));
        Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(file->data(), static_cast<long>(file->size()));
        image->readMetadata();
        // The profile and packet the encoder wrote stay byte for byte.
        image->writeXmpFromPacket(true);
        Exiv2::ExifData& target = image->exifData();
        bool added = false;
        for (const Exiv2::Exifdatum& entry : entries) {
            std::string group = entry.groupName();
            if (group == "Thumbnail") continue;
            if (group == "Image" && (target.findKey(Exiv2::ExifKey(entry.key())) != target.end() ||
                                     entry.tag() == 0x8769 || entry.tag() == 0x8825)) {
                continue;
            }
            if (group == "Photo" && entry.tag() == 0xA005) continue;  // exiv2 places the pointers
            target.add(entry);
            added = true;
        }
        if (!added) return;
        image->writeMetadata();
        Exiv2::BasicIo& io = image->io();
        if (io.open() != 0) return;
        std::vector<BYTE> written(static_cast<size_t>(io.size()));
        long read = io.read(written.data(), static_cast<long>(written.size()));
        io.close();
        if (read != static_cast<long>(written.size()) || !IsTiffHeader(written.data(), written.size())) return;
        *file = std::move(written);
    } catch (...) {
        // The file goes without the EXIF.
    }
}

}  // namespace gdiplus
