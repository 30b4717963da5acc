#pragma once
// The code pages this system can read text in, with the character-set names
// the C library knows them by. Shared by the locale queries (which code page
// the user's locale means) and the converters (how to read that code page).

#include <string_view>

#include "platform/types.h"

namespace kernel {

// iconv's name for the code page, or null when the code page is unknown.
const char* CodePageCharset(UINT codePage);

// The code page of a locale's character set as the C library names it
// ("UTF-8", "SJIS", "eucJP", "ISO-8859-1", ...); 0 when none matches.
// Case, '-', '_' and '.' are ignored in the comparison.
UINT CodePageOfCharset(std::string_view charset);

}  // namespace kernel
