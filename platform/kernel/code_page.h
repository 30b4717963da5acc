#pragma once
// Conversion between text in a code page and wide (UTF-16) text.
//
// File names on this system are bytes that need not be valid in any code
// page. So that every file the user can pick can still be opened and
// written, a byte that is not valid text in the code page becomes the lone
// low surrogate U+DC00 + byte, and WideCharToMultiByte turns such a
// surrogate back into that byte. Valid text never decodes to a lone
// surrogate, so the round trip is exact.

#include "platform/types.h"

namespace kernel {

using WCHAR = char16_t;

inline constexpr UINT CP_ACP = 0;
inline constexpr UINT CP_OEMCP = 1;
inline constexpr UINT CP_THREAD_ACP = 3;
inline constexpr UINT CP_UTF8 = 65001;

inline constexpr DWORD MB_PRECOMPOSED = 0x01;
inline constexpr DWORD MB_ERR_INVALID_CHARS = 0x08;
inline constexpr DWORD WC_ERR_INVALID_CHARS = 0x80;
inline constexpr DWORD WC_NO_BEST_FIT_CHARS = 0x400;

// Converts cbMultiByte bytes of source (-1: up to and including its
// terminator) from codePage to UTF-16. CP_ACP, CP_OEMCP and CP_THREAD_ACP
// mean GetACP(); CP_UTF8 and the code pages GetACP can return are known.
// Invalid bytes become lone surrogates, unless MB_ERR_INVALID_CHARS asks for
// failure (ERROR_NO_UNICODE_TRANSLATION). With cchWideChar 0 returns the
// units needed; otherwise the units written, or 0 with
// ERROR_INSUFFICIENT_BUFFER when they do not fit (nothing is written then).
int MultiByteToWideChar(UINT codePage, DWORD flags, const char* source, int cbMultiByte, WCHAR* target,
                        int cchWideChar);

// The reverse: UTF-16 to codePage, lone surrogates U+DC00..U+DCFF back to
// their byte. A character the code page cannot hold fails the whole call
// with ERROR_NO_UNICODE_TRANSLATION instead of being replaced, since a
// replaced character in a file name names another file; defaultChar is
// therefore never used and *usedDefaultChar is always FALSE.
int WideCharToMultiByte(UINT codePage, DWORD flags, const WCHAR* source, int cchWideChar, char* target, int cbMultiByte,
                        const char* defaultChar, BOOL* usedDefaultChar);

// Whether testChar starts a two-byte character in GetACP(): the lead bytes
// of the double-byte code pages 932, 936, 949 and 950. A scan for a
// single-byte character such as '|' passes over the byte after a lead byte.
BOOL IsDBCSLeadByte(BYTE testChar);

}  // namespace kernel
