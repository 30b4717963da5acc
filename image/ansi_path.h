#pragma once
// Paths are strings in the user's ANSI code page; the imaging library takes
// them wide. This is the rule for the code page and the converter.

#include <stdexcept>

#include "platform/kernel/code_page.h"
#include "platform/types.h"

// The code page in which paths and extensions are read. Chosen once per
// process: on NT 5 or later each thread's own code page (CP_THREAD_ACP),
// otherwise the locale rule below.
UINT AnsiPathCodePage();

// The locale rule: the thread locale's default ANSI code page as its
// decimal text says, or GetACP() when that cannot be read or is 0.
UINT LocaleRuleCodePage();

// Win32 error code as an HRESULT: 0 and negative values stay, others keep
// their low 16 bits under 0x80070000.
HRESULT HResultFromWin32(DWORD error);

// A failure that carries an HRESULT.
class CHResultError : public std::runtime_error {
public:
    explicit CHResultError(HRESULT result);
    HRESULT Result() const { return result_; }

private:
    HRESULT result_;
};

// A string widened by AnsiPathCodePage, terminator included. Up to 128
// wide characters live inside the converter; longer text takes the heap.
// Throws std::bad_alloc when the heap fails and CHResultError (from
// GetLastError) when the conversion does.
class CAnsiToWide {
public:
    static constexpr size_t inlineLength = 128;

    explicit CAnsiToWide(const char* text);
    ~CAnsiToWide();
    CAnsiToWide(const CAnsiToWide&) = delete;
    CAnsiToWide& operator=(const CAnsiToWide&) = delete;

    const kernel::WCHAR* Get() const { return text_; }

private:
    kernel::WCHAR inline_[inlineLength];
    kernel::WCHAR* heap_ = nullptr;
    kernel::WCHAR* text_ = inline_;
};
