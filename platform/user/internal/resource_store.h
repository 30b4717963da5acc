#pragma once
// Registered resources, held as copies.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/user/records.h"

namespace user::internal {

struct MenuItemData {
    UINT flags = 0;
    UINT id = 0;
    std::string text;
    std::vector<MenuItemData> popup;
};

struct ImageData {
    LONG width = 0;
    LONG height = 0;
    std::vector<std::uint32_t> argb;
};

struct CursorData {
    ImageData image;
    POINT hotSpot{0, 0};
};

struct IconData {
    std::vector<ImageData> images;
};

const std::vector<MenuItemData>* FindMenuResource(WORD id);
const CursorData* FindCursorResource(WORD id);
const IconData* FindIconResource(WORD id);

}  // namespace user::internal
