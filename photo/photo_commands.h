#pragma once
// The photo window's menu resource and the commands it reports.

#include "res/resource_ids.h"

inline constexpr WORD photoMenuResource = res::IDR_PHOTO_MENU;  // its first pop-up is the photo menu

inline constexpr UINT commandResize = res::ID_PHOTO_RESIZE;
inline constexpr UINT commandRotate = res::ID_PHOTO_ROTATE;
inline constexpr UINT commandSave = res::ID_PHOTO_SAVE;
inline constexpr UINT commandClose = res::ID_PHOTO_CLOSE;
