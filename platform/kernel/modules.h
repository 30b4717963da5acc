#pragma once
// Loadable modules. Nothing is loaded from disk: a module is a table of
// named entry points that the program registers under a file name, so code
// that looks an entry up by module and name on first use (as the help
// viewer's callers do) finds it the same way.

#include <span>

#include "platform/types.h"

namespace kernel {

struct ModuleTag;
using HMODULE = ModuleTag*;
using FARPROC = void (*)();

inline constexpr DWORD ERROR_INVALID_HANDLE = 6;
inline constexpr DWORD ERROR_MOD_NOT_FOUND = 126;
inline constexpr DWORD ERROR_PROC_NOT_FOUND = 127;

struct ModuleExport {
    const char* name;
    FARPROC proc;
};

// Makes a built-in module loadable under fileName (case-insensitive, as
// Windows module names are). Registering a name again replaces its exports;
// handles already given out see the new ones. False for an empty name or an
// export without a name or an entry.
bool RegisterModule(const char* fileName, std::span<const ModuleExport> exports);

// The module of that name; a name without an extension means ".dll" (a
// trailing dot means none). Null when there is no such module (GetLastError:
// ERROR_MOD_NOT_FOUND). Each load counts; FreeLibrary undoes one.
HMODULE LoadLibraryA(const char* fileName);
// The entry of that name, or null (ERROR_PROC_NOT_FOUND; ERROR_INVALID_HANDLE
// for a handle that is not a loaded module). Ordinals are not exported.
FARPROC GetProcAddress(HMODULE module, const char* procName);
// FALSE (ERROR_INVALID_HANDLE) for a handle that is not loaded. Built-in
// entries stay valid after the last free: they are part of the program.
BOOL FreeLibrary(HMODULE module);

}  // namespace kernel
