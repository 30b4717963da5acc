#include "platform/gdi/fonts.h"

#include <cstring>
#include <new>

#include "platform/gdi/objects.h"

namespace gdi {

using namespace internal;

HFONT CreateFontIndirectA(const LOGFONTA* description) {
    if (description == nullptr || description->lfWeight < 0 || description->lfWeight > 1000) return nullptr;
    if (std::memchr(description->lfFaceName, '\0', LF_FACESIZE) == nullptr) return nullptr;
    ObjectTable& table = Objects();
    std::lock_guard lock(table.mutex);
    try {
        auto font = std::make_unique<FontObject>();
        font->description = *description;
        return static_cast<HFONT>(table.Add(OBJ_FONT, std::move(font)));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

}  // namespace gdi
