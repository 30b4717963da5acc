#include "platform/imaging/image_properties.h"

#include <algorithm>
#include <new>

namespace gdiplus {

const PropertyEntry* ImageProperties::Find(ULONG id) const {
    auto found = std::find_if(entries_.begin(), entries_.end(), [id](const PropertyEntry& e) { return e.id == id; });
    return found == entries_.end() ? nullptr : &*found;
}

bool ImageProperties::Set(ULONG id, WORD type, const BYTE* value, size_t length) {
    try {
        std::vector<BYTE> bytes(value, value + length);
        auto found =
            std::find_if(entries_.begin(), entries_.end(), [id](const PropertyEntry& e) { return e.id == id; });
        if (found != entries_.end()) {
            found->type = type;
            found->value = std::move(bytes);
        } else {
            entries_.push_back(PropertyEntry{id, type, std::move(bytes)});
        }
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool ImageProperties::Remove(ULONG id) {
    auto found = std::find_if(entries_.begin(), entries_.end(), [id](const PropertyEntry& e) { return e.id == id; });
    if (found == entries_.end()) return false;
    entries_.erase(found);
    return true;
}

}  // namespace gdiplus
