#pragma once
// The bytes of the picture files in res/pictures/, compiled in by the build.

#include <span>

#include "platform/types.h"

namespace res {

std::span<const BYTE> AppIconFile();        // app.ico
std::span<const BYTE> OpenPhotoIconFile();  // open_photo.ico
std::span<const BYTE> HelpIconFile();       // help.ico
std::span<const BYTE> BannerBitmapFile();   // banner.bmp
std::span<const BYTE> HandCursorFile();     // hand.cur

}  // namespace res
