#pragma once
// Property items of the imaging library: the metadata an image carries
// beside its pixels (colour profile, EXIF entries, XMP), each an id, a type
// and a value. A decoded bitmap holds the items its file did; an encoder
// writes those its format can hold. Values are in the machine's byte order.

#include "platform/imaging/records.h"
#include "platform/imaging/status.h"

namespace gdiplus {

using PROPID = ULONG;

// Returned by GdipGetPropertyItem in the caller's buffer: value points into
// the same buffer, just after the record.
struct PropertyItem {
    PROPID id;
    ULONG length;  // bytes of the value
    WORD type;     // PropertyTagType...
    void* value;
};

// Value types, numbered as TIFF numbers them.
inline constexpr WORD PropertyTagTypeByte = 1;
inline constexpr WORD PropertyTagTypeASCII = 2;  // NUL included in length
inline constexpr WORD PropertyTagTypeShort = 3;
inline constexpr WORD PropertyTagTypeLong = 4;
inline constexpr WORD PropertyTagTypeRational = 5;  // two LONGs each
inline constexpr WORD PropertyTagTypeUndefined = 7;
inline constexpr WORD PropertyTagTypeSLONG = 9;
inline constexpr WORD PropertyTagTypeSRational = 10;

// EXIF entries appear under their tag numbers: the GPS entries as
// 0x0000..0x001F, those of the first and the EXIF directory as themselves,
// the thumbnail's (second directory) as 0x5020..0x503B.
inline constexpr PROPID PropertyTagGpsVer = 0x0000;
inline constexpr PROPID PropertyTagGpsLatitudeRef = 0x0001;
inline constexpr PROPID PropertyTagGpsLatitude = 0x0002;
inline constexpr PROPID PropertyTagGpsLongitudeRef = 0x0003;
inline constexpr PROPID PropertyTagGpsLongitude = 0x0004;
inline constexpr PROPID PropertyTagGpsAltitude = 0x0006;
inline constexpr PROPID PropertyTagGpsLast = 0x001F;  // the highest GPS tag

inline constexpr PROPID PropertyTagImageWidth = 0x0100;
inline constexpr PROPID PropertyTagImageHeight = 0x0101;
inline constexpr PROPID PropertyTagEquipMake = 0x010F;
inline constexpr PROPID PropertyTagEquipModel = 0x0110;
inline constexpr PROPID PropertyTagOrientation = 0x0112;
inline constexpr PROPID PropertyTagDateTime = 0x0132;
inline constexpr PROPID PropertyTagArtist = 0x013B;
inline constexpr PROPID PropertyTagCopyright = 0x8298;
inline constexpr PROPID PropertyTagICCProfile = 0x8773;
inline constexpr PROPID PropertyTagExifDTOrig = 0x9003;
inline constexpr PROPID PropertyTagExifMakerNote = 0x927C;
inline constexpr PROPID PropertyTagExifPixXDim = 0xA002;
inline constexpr PROPID PropertyTagExifPixYDim = 0xA003;

// The thumbnail: its format (LONG, 1 = JPEG, 0 = uncompressed), its bytes,
// and the entries of its directory.
inline constexpr PROPID PropertyTagThumbnailFormat = 0x5012;
inline constexpr PROPID PropertyTagThumbnailData = 0x501B;
inline constexpr PROPID PropertyTagThumbnailImageWidth = 0x5020;
inline constexpr PROPID PropertyTagThumbnailCompression = 0x5023;
inline constexpr PROPID PropertyTagThumbnailCopyRight = 0x503B;
// First and last id of everything that belongs to the thumbnail.
inline constexpr PROPID PropertyTagThumbnailFirst = 0x5012;
inline constexpr PROPID PropertyTagThumbnailLast = 0x503B;

// Not among the library's own names: the XMP packet (BYTE, under TIFF's
// XMLPacket tag number), and the whole EXIF block as the file held it
// (UNDEFINED, from its TIFF header on; an id from the range TIFF leaves for
// private use). The block keeps what no item shows -- maker notes,
// interoperability data, entries of unknown directories -- so that a copy
// saved with it loses none of that; the items say what changed.
inline constexpr PROPID PropertyTagXmpPacket = 0x02BC;
inline constexpr PROPID PropertyTagExifBlock = 0xFDE8;

// Every call fails with GdiplusNotInitialized while the library is stopped
// and with InvalidParameter for a handle that is not a live image.

Status GdipGetPropertyCount(GpImage* image, UINT* numOfProperty);
// InvalidParameter unless numOfProperty is the image's count.
Status GdipGetPropertyIdList(GpImage* image, UINT numOfProperty, PROPID* list);
// The buffer GdipGetPropertyItem needs: the record and the value after it.
// PropertyNotFound when the image has no item of that id.
Status GdipGetPropertyItemSize(GpImage* image, PROPID propId, UINT* size);
// InvalidParameter unless propSize is the size GdipGetPropertyItemSize gave.
Status GdipGetPropertyItem(GpImage* image, PROPID propId, UINT propSize, PropertyItem* buffer);
// Adds the item, or replaces the one of the same id; the value is copied.
// InvalidParameter for a value longer than the metadata limit of decoding.
Status GdipSetPropertyItem(GpImage* image, const PropertyItem* item);

}  // namespace gdiplus
