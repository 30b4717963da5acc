#pragma once
// PELMORA_ASSERT(condition) states an invariant of the code itself: a
// condition no input, file or platform answer can make false, only a fault
// in the code. Input and the platform's answers are checked with ordinary
// code and get their documented failure values instead.
//
// Where PELMORA_ASSERTIONS is defined (the build defines it for Debug and
// RelWithDebInfo, which the tests and the sanitizer build use), a false
// condition prints itself and where it stands, and aborts. Elsewhere
// (Release) the condition is compiled but never evaluated.

#if defined(PELMORA_ASSERTIONS)

#include <cstdio>
#include <cstdlib>

[[noreturn]] inline void PelmoraAssertionFailed(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: assertion failed: %s\n", file, line, condition);
    std::abort();
}

#define PELMORA_ASSERT(condition) \
    ((condition) ? static_cast<void>(0) : PelmoraAssertionFailed(#condition, __FILE__, __LINE__))

#else

#define PELMORA_ASSERT(condition) static_cast<void>(sizeof(!(condition)))

#endif
