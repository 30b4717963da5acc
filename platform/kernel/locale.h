#pragma once
// The user's locale and the code page of its text. On this system the
// locale comes from the environment (LC_ALL, then LC_CTYPE, then LANG) and
// every thread shares it.

#include "platform/types.h"

namespace kernel {

using LCID = DWORD;
using LCTYPE = DWORD;

inline constexpr LCID LOCALE_INVARIANT = 0x007F;
inline constexpr LCID LOCALE_USER_DEFAULT = 0x0400;
inline constexpr LCID LOCALE_SYSTEM_DEFAULT = 0x0800;

inline constexpr LCTYPE LOCALE_IDEFAULTANSICODEPAGE = 0x1004;
inline constexpr LCTYPE LOCALE_NOUSEROVERRIDE = 0x80000000;

// The locale identifier of the environment's language and territory
// (ja_JP gives 0x0411); 0x0409 for the C locale and unknown languages.
LCID GetThreadLocale();

// Only LOCALE_IDEFAULTANSICODEPAGE is answered: the code page as decimal
// text. For the current locale (its identifier, LOCALE_USER_DEFAULT or
// LOCALE_SYSTEM_DEFAULT) that is GetACP(); for another known locale, the
// code page Windows gives it. Returns the characters written including the
// terminator, or with cchData 0 the size needed; 0 on failure with
// ERROR_INSUFFICIENT_BUFFER, ERROR_INVALID_FLAGS or ERROR_INVALID_PARAMETER.
int GetLocaleInfoA(LCID locale, LCTYPE type, char* data, int cchData);

// The code page of the environment's character set: 65001 for UTF-8 (and
// for the C locale, since file names on this system are UTF-8 unless the
// user's locale says otherwise), 932 for Shift_JIS, 20932 for EUC-JP,
// 28591 for ISO-8859-1 and so on.
UINT GetACP();

}  // namespace kernel
