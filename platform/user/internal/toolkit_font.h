#pragma once
// Logical fonts as toolkit fonts. Faces that are not installed here (the
// Windows UI faces "MS UI Gothic", "MS Shell Dlg" and the like) become the
// installed Japanese UI face at the same size, so that the dialogs' texts
// keep their look and every character has a glyph. That face is Ume UI
// Gothic, made to stand in for MS UI Gothic: its Latin letters and digits
// are as narrow as the templates were laid out for (IPAPGothic's digits are
// a fifth wider and cut the launcher's version label).

#include <QFont>

#include "platform/gdi/fonts.h"

namespace user::internal {

// The face that stands in for faces this machine lacks.
inline constexpr const char* uiFace = "Ume UI Gothic";
// Windows' logical resolution: points become pixels at 96 per inch.
inline constexpr int logicalDpi = 96;

QFont ToolkitFont(const gdi::LOGFONTA& description);
// The font of a handle; the UI face at 9 points for an invalid one (the
// system font a control without a font of its own draws with).
QFont ToolkitFont(gdi::HFONT font);
QFont SystemFont();

// Dialog base units of a font: the average width of the letters A-Z a-z,
// rounded up, and the font's height, in pixels. Rounded up, a text of n
// average characters fits the 4n units a template gives it; rounded to the
// nearest pixel, the stand-in face's texts overran their controls by up to
// half a pixel a character.
SIZE DialogBaseUnits(const QFont& font);

}  // namespace user::internal
