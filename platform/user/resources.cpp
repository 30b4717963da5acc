#include "platform/user/resources.h"

#include <map>

#include "platform/user/internal/resource_store.h"

namespace user {
namespace internal {
namespace {

constexpr int maxMenuDepth = 16;
constexpr LONG maxImageSide = 256;

std::map<WORD, std::vector<MenuItemData>>& Menus() {
    static std::map<WORD, std::vector<MenuItemData>> menus;
    return menus;
}
std::map<WORD, CursorData>& Cursors() {
    static std::map<WORD, CursorData> cursors;
    return cursors;
}
std::map<WORD, IconData>& Icons() {
    static std::map<WORD, IconData> icons;
    return icons;
}

bool CopyItems(std::span<const MenuItemResource> items, int depth, std::vector<MenuItemData>* out) {
    if (depth > maxMenuDepth) return false;
    for (const MenuItemResource& item : items) {
        MenuItemData data;
        data.flags = item.flags;
        data.id = item.id;
        if (item.flags & MF_SEPARATOR) {
            data.flags = MF_SEPARATOR;
        } else {
            if (!item.text) return false;
            data.text = item.text;
            if ((item.flags & MF_POPUP) && !CopyItems(item.popup, depth + 1, &data.popup)) return false;
        }
        out->push_back(std::move(data));
    }
    return true;
}

bool CopyImage(const ImageResource& image, ImageData* out) {
    if (image.width < 1 || image.height < 1 || image.width > maxImageSide || image.height > maxImageSide ||
        !image.argb) {
        return false;
    }
    out->width = image.width;
    out->height = image.height;
    out->argb.assign(image.argb, image.argb + static_cast<std::size_t>(image.width) * image.height);
    return true;
}

}  // namespace

const std::vector<MenuItemData>* FindMenuResource(WORD id) {
    const auto found = Menus().find(id);
    return found == Menus().end() ? nullptr : &found->second;
}

const CursorData* FindCursorResource(WORD id) {
    const auto found = Cursors().find(id);
    return found == Cursors().end() ? nullptr : &found->second;
}

const IconData* FindIconResource(WORD id) {
    const auto found = Icons().find(id);
    return found == Icons().end() ? nullptr : &found->second;
}

}  // namespace internal

bool RegisterMenuResource(WORD id, std::span<const MenuItemResource> items) {
    std::vector<internal::MenuItemData> copy;
    if (!internal::CopyItems(items, 0, &copy)) return false;
    internal::Menus()[id] = std::move(copy);
    return true;
}

bool RegisterCursorResource(WORD id, const CursorResource& cursor) {
    internal::CursorData copy;
    if (!internal::CopyImage(cursor.image, &copy.image)) return false;
    if (cursor.hotSpot.x < 0 || cursor.hotSpot.y < 0 || cursor.hotSpot.x >= copy.image.width ||
        cursor.hotSpot.y >= copy.image.height) {
        return false;
    }
    copy.hotSpot = cursor.hotSpot;
    internal::Cursors()[id] = std::move(copy);
    return true;
}

bool RegisterIconResource(WORD id, const IconResource& icon) {
    internal::IconData copy;
    if (icon.images.empty()) return false;
    for (const ImageResource& image : icon.images) {
        internal::ImageData data;
        if (!internal::CopyImage(image, &data)) return false;
        copy.images.push_back(std::move(data));
    }
    internal::Icons()[id] = std::move(copy);
    return true;
}

}  // namespace user
