#pragma once
// The file types the open dialog offers, one entry per format the program
// reads and writes, JPEG first.

inline constexpr const char* photoFileFilter =
    "JPEG Files (*.jpg)|*.jpg|Bitmap Files (*.bmp)|*.bmp|GIF Files (*.gif)|*.gif|PNG Files (*.png)|*.png||";
inline constexpr const char* photoDefaultExtension = "jpg";
inline constexpr const char* photoInitialName = "*.jpg";
