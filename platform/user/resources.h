#pragma once
// The program's resources: menus, pointer shapes and icons, registered by
// number at start-up and found again by LoadMenuA, LoadCursorA and
// LoadIconA. Registration copies the data.

#include <cstdint>
#include <span>

#include "platform/user/records.h"

namespace user {

// One item of a menu template. A pop-up's items follow in popup.
struct MenuItemResource {
    UINT flags = MF_STRING;  // MF_STRING, MF_SEPARATOR or MF_POPUP, with MF_GRAYED, MF_CHECKED
    UINT id = 0;             // the command an item reports; unused by separators and pop-ups
    const char* text = nullptr;  // UTF-8; '&' marks the mnemonic; null for separators
    std::span<const MenuItemResource> popup{};
};

// A picture: width x height pixels, top row first, 0xAARRGGBB with straight
// alpha. bitsPerPixel records the depth it was drawn in.
struct ImageResource {
    LONG width = 0;
    LONG height = 0;
    int bitsPerPixel = 32;
    const std::uint32_t* argb = nullptr;
};

struct CursorResource {
    ImageResource image;
    POINT hotSpot{0, 0};
};

// The sizes of one icon.
struct IconResource {
    std::span<const ImageResource> images;
};

// Each returns false, registering nothing, for a malformed resource
// (pictures must be 1 to 256 pixels a side with their pixels given; menus
// at most 16 deep). A number registered again replaces the earlier one;
// handles already loaded keep what they were loaded from.
bool RegisterMenuResource(WORD id, std::span<const MenuItemResource> items);
bool RegisterCursorResource(WORD id, const CursorResource& cursor);
bool RegisterIconResource(WORD id, const IconResource& icon);

}  // namespace user
