#pragma once
// Library-internal: how the entries of an EXIF block (as exiv2 reads them)
// and property items stand for each other.

#include <optional>
#include <vector>

#include "platform/imaging/exiv2_headers.h"
#include "platform/imaging/image_properties.h"
#include "platform/imaging/property_item.h"

namespace gdiplus {

// Readies exiv2 once per process (quiet, XMP parser set up).
void InitializeExiv2();

// The item an entry shows as; none for entries that live only inside the
// block (directory pointers, offsets, maker-note and interoperability data).
std::optional<PROPID> ItemIdOf(const Exiv2::Exifdatum& entry);
// The entry an item stands for; none for items that are not EXIF entries
// (profile, XMP, the block, the thumbnail's bytes and format).
std::optional<Exiv2::ExifKey> EntryKeyOf(PROPID id);

// The item an entry shows as: its type (types items have no name for are
// UNDEFINED) and its value in little-endian order.
PropertyEntry ItemOf(PROPID id, const Exiv2::Exifdatum& entry);
// Whether an entry already holds an item's type and value.
bool HoldsItem(const Exiv2::Exifdatum& entry, const PropertyEntry& item);
// An item's value as exiv2 takes it.
Exiv2::Value::AutoPtr ValueOf(const PropertyEntry& item);

// True when data starts with a TIFF header, as an EXIF block must.
bool IsTiffHeader(const BYTE* data, size_t size);

}  // namespace gdiplus
