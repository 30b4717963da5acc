#pragma once
// The shell's open operation: a document or web address handed to the
// program the desktop associates with it.

#include "platform/user/records.h"

namespace user {

// Results at or below 32 are errors; success is any value above.
inline constexpr int ERROR_FILE_NOT_FOUND = 2;
inline constexpr int ERROR_PATH_NOT_FOUND = 3;
inline constexpr int SE_ERR_ACCESSDENIED = 5;
inline constexpr int SE_ERR_NOASSOC = 31;

// With the default verb (null, "" or "open"), opens file with the
// desktop's default program and returns at once, without waiting for that
// program. file is an absolute address with a scheme ("https://...",
// "mailto:...", passed on exactly as given) or a path (relative ones to
// directory, else to the current folder), which must exist and be
// readable. Parameters and the show command are for programs, not
// documents, and are not used. Returns a value above 32 on success, as a
// module handle the caller compares as an integer; otherwise
// ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND, SE_ERR_ACCESSDENIED, or
// SE_ERR_NOASSOC for another verb or when nothing on the desktop opens it.
HINSTANCE ShellExecuteA(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory, int showCommand);

}  // namespace user
