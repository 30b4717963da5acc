#pragma once
// Logical fonts: a description (LOGFONTA) kept under a handle. The
// description is what the caller asked for, returned unchanged by
// GetObjectA; which installed face draws it is decided where text is drawn
// (the windowing service maps faces that are not on this machine).

#include <cstddef>

#include "platform/gdi/records.h"

namespace gdi {

struct HFONT__;
using HFONT = HFONT__*;

inline constexpr int LF_FACESIZE = 32;

struct LOGFONTA {
    LONG lfHeight;  // < 0: character height in pixels; > 0: cell height; 0: default size
    LONG lfWidth;
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;  // 0: default, else 1..1000 (FW_NORMAL 400, FW_BOLD 700)
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    char lfFaceName[LF_FACESIZE];  // NUL-terminated
};
static_assert(sizeof(LOGFONTA) == 60);
static_assert(offsetof(LOGFONTA, lfFaceName) == 28);

inline constexpr LONG FW_DONTCARE = 0;
inline constexpr LONG FW_NORMAL = 400;
inline constexpr LONG FW_BOLD = 700;

inline constexpr BYTE ANSI_CHARSET = 0;
inline constexpr BYTE DEFAULT_CHARSET = 1;
inline constexpr BYTE SHIFTJIS_CHARSET = 128;

// A font handle for the description; null for a null description, a weight
// above 1000, or a face name without its terminator within LF_FACESIZE.
[[nodiscard]] HFONT CreateFontIndirectA(const LOGFONTA* description);

}  // namespace gdi
