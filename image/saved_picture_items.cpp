#include "image/saved_picture_items.h"

#include <cstring>

using namespace gdiplus;

namespace {

CPropertyItemList::Item Number(PROPID id, WORD type, ULONG value) {
    if (type == PropertyTagTypeShort && value <= 0xFFFF) {
        WORD shortValue = static_cast<WORD>(value);
        std::vector<BYTE> bytes(sizeof shortValue);
        std::memcpy(bytes.data(), &shortValue, sizeof shortValue);
        return {id, PropertyTagTypeShort, bytes};
    }
    std::vector<BYTE> bytes(sizeof value);
    std::memcpy(bytes.data(), &value, sizeof value);
    return {id, PropertyTagTypeLong, bytes};
}

}  // namespace

CPropertyItemList ItemsOfSavedPicture(const CPropertyItemList& items, LONG width, LONG height) {
    CPropertyItemList saved = items;
    saved.RemoveRange(PropertyTagThumbnailFirst, PropertyTagThumbnailLast);
    if (saved.Find(PropertyTagOrientation) != nullptr)
        saved.Set(Number(PropertyTagOrientation, PropertyTagTypeShort, 1));
    const struct {
        PROPID id;
        LONG value;
    } sizes[] = {{PropertyTagImageWidth, width},
                 {PropertyTagImageHeight, height},
                 {PropertyTagExifPixXDim, width},
                 {PropertyTagExifPixYDim, height}};
    for (const auto& s : sizes) {
        if (const CPropertyItemList::Item* item = saved.Find(s.id)) {
            saved.Set(Number(s.id, item->type, static_cast<ULONG>(s.value)));
        }
    }
    return saved;
}
