#pragma once
// Reading the picture files the program's resources are compiled from:
// icon (.ico), cursor (.cur) and bitmap (.bmp) files with uncompressed
// pictures of 1, 4, 8, 24 or 32 bits per pixel.

#include <cstdint>
#include <span>
#include <vector>

#include "platform/user/records.h"

namespace user::internal {

struct DecodedPicture {
    LONG width = 0;
    LONG height = 0;
    int bitsPerPixel = 0;
    POINT hotSpot{0, 0};              // cursors only
    std::vector<std::uint32_t> argb;  // top row first, straight alpha
};

// Each picture of an icon or cursor file, in the file's order; false for
// anything malformed, truncated or of a kind not read here (such as
// compressed pictures).
bool DecodeIconFile(std::span<const BYTE> file, bool cursor, std::vector<DecodedPicture>* pictures);
bool DecodeBitmapFile(std::span<const BYTE> file, DecodedPicture* picture);

}  // namespace user::internal
