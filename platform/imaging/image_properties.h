#pragma once
// Library-internal: the property items one bitmap carries, in the order
// they were added (a replaced item keeps its place).

#include <cstddef>
#include <vector>

#include "platform/types.h"

namespace gdiplus {

struct PropertyEntry {
    ULONG id;
    WORD type;
    std::vector<BYTE> value;
};

class ImageProperties {
public:
    const std::vector<PropertyEntry>& Entries() const { return entries_; }
    bool Empty() const { return entries_.empty(); }
    // Null when there is no item of that id.
    const PropertyEntry* Find(ULONG id) const;
    // Adds or replaces; false (nothing changed) when memory runs out.
    bool Set(ULONG id, WORD type, const BYTE* value, size_t length);
    // False when there was no such item.
    bool Remove(ULONG id);

private:
    std::vector<PropertyEntry> entries_;
};

}  // namespace gdiplus
