#include "image/property_item_list.h"

#include <algorithm>
#include <memory>
#include <new>

using namespace gdiplus;

const CPropertyItemList::Item* CPropertyItemList::Find(PROPID id) const {
    auto found = std::find_if(items.begin(), items.end(), [id](const Item& i) { return i.id == id; });
    return found == items.end() ? nullptr : &*found;
}

void CPropertyItemList::Set(Item item) {
    auto found = std::find_if(items.begin(), items.end(), [&](const Item& i) { return i.id == item.id; });
    if (found != items.end()) {
        *found = std::move(item);
    } else {
        items.push_back(std::move(item));
    }
}

void CPropertyItemList::RemoveRange(PROPID first, PROPID last) {
    std::erase_if(items, [=](const Item& i) { return i.id >= first && i.id <= last; });
}

bool CPropertyItemList::ReadFrom(GpImage* image) {
    items.clear();
    try {
        UINT count = 0;
        if (GdipGetPropertyCount(image, &count) != Ok || count == 0) return true;
        std::vector<PROPID> ids(count);
        if (GdipGetPropertyIdList(image, count, ids.data()) != Ok) return true;
        std::vector<BYTE> buffer;
        for (PROPID id : ids) {
            UINT size = 0;
            if (GdipGetPropertyItemSize(image, id, &size) != Ok || size < sizeof(PropertyItem)) continue;
            // PropertyItem records hold a pointer: keep the buffer aligned for it.
            buffer.resize(size + alignof(PropertyItem));
            void* place = buffer.data();
            size_t room = buffer.size();
            auto* item = static_cast<PropertyItem*>(std::align(alignof(PropertyItem), size, place, room));
            if (item == nullptr || GdipGetPropertyItem(image, id, size, item) != Ok) continue;
            const BYTE* value = static_cast<const BYTE*>(item->value);
            items.push_back(Item{item->id, item->type, std::vector<BYTE>(value, value + item->length)});
        }
        return true;
    } catch (const std::bad_alloc&) {
        items.clear();
        return false;
    }
}

Status CPropertyItemList::WriteTo(GpImage* image) const {
    Status first = Ok;
    for (const Item& i : items) {
        PropertyItem item{i.id, static_cast<ULONG>(i.value.size()), i.type, const_cast<BYTE*>(i.value.data())};
        Status s = GdipSetPropertyItem(image, &item);
        if (s != Ok && first == Ok) first = s;
    }
    return first;
}
