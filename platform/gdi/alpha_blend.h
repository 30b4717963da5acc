#pragma once
// Composing a 32-bit source with per-pixel alpha over a surface, as icons
// are drawn.

#include "platform/gdi/records.h"

namespace gdi {

struct BLENDFUNCTION {
    BYTE BlendOp;
    BYTE BlendFlags;
    BYTE SourceConstantAlpha;
    BYTE AlphaFormat;
};

inline constexpr BYTE AC_SRC_OVER = 0x00;
inline constexpr BYTE AC_SRC_ALPHA = 0x01;

// Draws the source rectangle over the destination rectangle of the same
// size: with AC_SRC_ALPHA each source pixel is premultiplied by its own
// alpha byte, otherwise only SourceConstantAlpha applies. Both surfaces
// need 32-bit pixels; only destination pixels inside its bounds and clip
// change. FALSE for an invalid surface, sizes that differ (no stretching
// here) or are negative, a source rectangle outside the source, or any
// other blend operation.
BOOL AlphaBlend(HDC destination, int x, int y, int width, int height, HDC source, int srcX, int srcY, int srcWidth,
                int srcHeight, BLENDFUNCTION blend);

}  // namespace gdi
