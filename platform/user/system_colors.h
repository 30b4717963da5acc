#pragma once
// The desktop's colours for window parts, as the toolkit's palette gives
// them.

#include "platform/user/records.h"

namespace user {

inline constexpr int COLOR_WINDOW = 5;
inline constexpr int COLOR_WINDOWTEXT = 8;
inline constexpr int COLOR_HIGHLIGHT = 13;
inline constexpr int COLOR_HIGHLIGHTTEXT = 14;
inline constexpr int COLOR_BTNFACE = 15;
inline constexpr int COLOR_3DFACE = COLOR_BTNFACE;
inline constexpr int COLOR_GRAYTEXT = 17;
inline constexpr int COLOR_BTNTEXT = 18;

// 0 (black) for an index not listed above.
gdi::COLORREF GetSysColor(int index);
// A solid brush of that colour, owned by the service for the whole process
// (deleting it does nothing harmful: it is made again when asked for);
// null for an index not listed above.
gdi::HBRUSH GetSysColorBrush(int index);

}  // namespace user
