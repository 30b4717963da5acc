#pragma once
// Copies of an image's property items (the imaging library's metadata
// records: id, type, value), kept apart from any library image so that they
// can travel from a decoded photo to the picture saved of it.

#include <vector>

#include "platform/imaging/property_item.h"

class CPropertyItemList {
public:
    struct Item {
        gdiplus::PROPID id;
        WORD type;
        std::vector<BYTE> value;
    };

    bool Empty() const { return items.empty(); }
    // Null when there is no item of that id.
    const Item* Find(gdiplus::PROPID id) const;
    // Adds the item or replaces the one of its id.
    void Set(Item item);
    // Leaves out every item whose id is in first .. last.
    void RemoveRange(gdiplus::PROPID first, gdiplus::PROPID last);
    void Clear() { items.clear(); }

    // Every item of a library image, replacing what the list held; an item
    // the library cannot hand out is left out. False only when memory ran
    // out (the list is then empty).
    bool ReadFrom(gdiplus::GpImage* image);
    // Sets every item on a library image; the first failing status, or Ok.
    gdiplus::Status WriteTo(gdiplus::GpImage* image) const;

private:
    std::vector<Item> items;
};
