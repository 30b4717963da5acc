#pragma once
// Saving a photo exactly as its window shows it: at the window's client size
// and in its rotation, resampled from the whole stored photo by the same
// drawing routine that paints the window. The encoder follows the file
// name's extension. Nothing is ever reported to the user: a save that cannot
// be done writes nothing (the imaging layer writes through a temporary file,
// so an existing file is replaced whole or not at all).

#include "image/dib_image.h"
#include "platform/user/records.h"

class CPhotoWnd;

// The save dialog's file types; the open dialog offers the same ones.
inline constexpr const char* photoFileFilter =
    "JPEG Files (*.jpg)|*.jpg|Bitmap Files (*.bmp)|*.bmp|GIF Files (*.gif)|*.gif|PNG Files (*.png)|*.png||";
inline constexpr const char* photoDefaultExtension = "jpg";
inline constexpr const char* photoInitialFileName = "*.jpg";

// Asks for a file name (asking again before an existing file is replaced)
// and writes what the window shows there. Cancel writes nothing.
void SaveShownPhoto(CPhotoWnd& window);

// Draws photo turned by rotation into a new 32-bit image of the client
// rectangle's size and writes it to path, with the photo's property items
// except its GPS position. S_OK when the file was written;
// E_FAIL when the client area is empty, the image cannot be made, no encoder
// claims the extension, or the file cannot be written.
HRESULT WriteShownPhoto(const char* path, CDibImage& photo, LONG rotation, const RECT& clientRect);
