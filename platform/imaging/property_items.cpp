// The flat calls on an image's property items.

#include <cstring>

#include "platform/imaging/decode_limits.h"
#include "platform/imaging/image_object.h"
#include "platform/imaging/imaging_testing.h"
#include "platform/imaging/property_item.h"
#include "platform/imaging/startup.h"

namespace gdiplus {
namespace {

ImageProperties* PropertiesOf(GpImage* image, Status* status) {
    BitmapObject* bitmap = CheckedBitmap(image, status);
    return bitmap != nullptr ? &bitmap->raster.properties : nullptr;
}

// The item propId of a checked image, for a call that writes to out.
Status FindItem(GpImage* image, PROPID propId, const void* out, const PropertyEntry** entry) {
    Status status;
    const ImageProperties* properties = PropertiesOf(image, &status);
    if (properties == nullptr) return status;
    if (out == nullptr) return InvalidParameter;
    *entry = properties->Find(propId);
    return *entry != nullptr ? Ok : PropertyNotFound;
}

UINT ItemBytes(const PropertyEntry& entry) { return static_cast<UINT>(sizeof(PropertyItem) + entry.value.size()); }

}  // namespace

Status GdipGetPropertyCount(GpImage* image, UINT* numOfProperty) {
    return ReadValue(image, numOfProperty,
                     [](const BitmapObject& b) { return static_cast<UINT>(b.raster.properties.Entries().size()); });
}

Status GdipGetPropertyIdList(GpImage* image, UINT numOfProperty, PROPID* list) {
    Status status;
    ImageProperties* properties = PropertiesOf(image, &status);
    if (properties == nullptr) return status;
    const std::vector<PropertyEntry>& entries = properties->Entries();
    if (numOfProperty != entries.size() || (list == nullptr && numOfProperty != 0)) return InvalidParameter;
    for (size_t i = 0; i < entries.size(); ++i) list[i] = entries[i].id;
    return Ok;
}

Status GdipGetPropertyItemSize(GpImage* image, PROPID propId, UINT* size) {
    const PropertyEntry* entry = nullptr;
    if (Status s = FindItem(image, propId, size, &entry); s != Ok) return s;
    *size = ItemBytes(*entry);
    return Ok;
}

Status GdipGetPropertyItem(GpImage* image, PROPID propId, UINT propSize, PropertyItem* buffer) {
    const PropertyEntry* entry = nullptr;
    if (Status s = FindItem(image, propId, buffer, &entry); s != Ok) return s;
    if (propSize != ItemBytes(*entry)) return InvalidParameter;
    BYTE* value = reinterpret_cast<BYTE*>(buffer + 1);
    buffer->id = entry->id;
    buffer->length = static_cast<ULONG>(entry->value.size());
    buffer->type = entry->type;
    buffer->value = entry->value.empty() ? nullptr : value;
    if (!entry->value.empty()) std::memcpy(value, entry->value.data(), entry->value.size());
    return Ok;
}

Status GdipSetPropertyItem(GpImage* image, const PropertyItem* item) {
    Status status;
    ImageProperties* properties = PropertiesOf(image, &status);
    if (properties == nullptr) return status;
    if (item == nullptr || (item->length > 0 && item->value == nullptr)) return InvalidParameter;
    if (item->length > maxMetadataBytes) return InvalidParameter;
    const BYTE* value = static_cast<const BYTE*>(item->value);
    return properties->Set(item->id, item->type, value, item->length) ? Ok : OutOfMemory;
}

Status GdipRemovePropertyItem(GpImage* image, PROPID propId) {
    Status status;
    ImageProperties* properties = PropertiesOf(image, &status);
    if (properties == nullptr) return status;
    return properties->Remove(propId) ? Ok : PropertyNotFound;
}

}  // namespace gdiplus
