#pragma once
// Registered resources, held as copies.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/user/dialog_template.h"
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
    int bitsPerPixel = 32;
    std::vector<std::uint32_t> argb;
};

struct CursorData {
    ImageData image;
    POINT hotSpot{0, 0};
};

struct IconData {
    std::vector<ImageData> images;
};

struct DialogItemData {
    DialogItemTemplate item;  // its names point into the strings below
    std::string className;
    std::string text;
};

struct DialogData {
    DialogTemplate dialog;  // its items and names point into the members below
    std::string windowClass;
    bool hasWindowClass = false;
    std::string title;
    std::string typeface;
    std::vector<DialogItemData> items;
    std::vector<DialogItemTemplate> itemTemplates;
};

const std::vector<MenuItemData>* FindMenuResource(WORD id);
const DialogData* FindDialogResource(WORD id);
const std::string* FindStringResource(WORD id);
const ImageData* FindBitmapResource(WORD id);
const CursorData* FindCursorResource(WORD id);
const IconData* FindIconResource(WORD id);

}  // namespace user::internal
