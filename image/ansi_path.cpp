#include "image/ansi_path.h"

#include <atomic>
#include <cstdio>
#include <new>
#include <string>

#include "image/small_buffer.h"
#include "platform/kernel/last_error.h"
#include "platform/kernel/locale.h"
#include "platform/kernel/string_length.h"
#include "platform/kernel/sync.h"
#include "platform/kernel/version.h"

namespace {

enum Rule : LONG { undecided = 0, threadRule = 1, localeRule = 2 };

std::atomic<LONG> chosenRule{undecided};

Rule ChooseRule() {
    kernel::OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;  // 148
    bool nt5 =
        kernel::GetVersionExA(&info) && info.dwPlatformId == kernel::VER_PLATFORM_WIN32_NT && info.dwMajorVersion >= 5;
    return nt5 ? threadRule : localeRule;
}

}  // namespace

UINT LocaleRuleCodePage() {
    char text[7] = {};
    int written =
        kernel::GetLocaleInfoA(kernel::GetThreadLocale(), kernel::LOCALE_IDEFAULTANSICODEPAGE, text, sizeof text);
    UINT number = 0;
    if (written > 0) {
        // Digits only ever come back; each character counts as one.
        for (const char* c = text; *c != '\0'; ++c) number = number * 10 + static_cast<UINT>(*c - '0');
    }
    return number != 0 ? number : kernel::GetACP();
}

UINT AnsiPathCodePage() {
    LONG rule = chosenRule.load();
    if (rule == undecided) {
        rule = ChooseRule();
        // Racing first calls compute the same rule; publishing it once is enough.
        kernel::InterlockedExchange(&chosenRule, rule);
    }
    return rule == threadRule ? kernel::CP_THREAD_ACP : LocaleRuleCodePage();
}

HRESULT HResultFromWin32(DWORD error) {
    auto value = static_cast<HRESULT>(error);
    if (value <= 0) return value;
    return static_cast<HRESULT>((error & 0xFFFFu) | 0x80070000u);
}

namespace {

std::string Describe(HRESULT result) {
    char text[32];
    std::snprintf(text, sizeof text, "HRESULT 0x%08X", static_cast<unsigned>(result));
    return text;
}

}  // namespace

CHResultError::CHResultError(HRESULT result) : std::runtime_error(Describe(result)), result_(result) {}

CAnsiToWide::CAnsiToWide(const char* text) {
    size_t n = static_cast<size_t>(kernel::lstrlenA(text)) + 1;  // the terminator too
    if (n > inlineLength) {
        heap_ = static_cast<kernel::WCHAR*>(SmallHeapAllocate(2 * n));
        if (heap_ == nullptr) throw std::bad_alloc();
        text_ = heap_;
    }
    int count = static_cast<int>(n);
    if (kernel::MultiByteToWideChar(AnsiPathCodePage(), 0, text, count, text_, count) == 0) {
        HRESULT result = HResultFromWin32(kernel::GetLastError());
        SmallHeapFree(heap_);
        heap_ = nullptr;
        throw CHResultError(result);
    }
}

CAnsiToWide::~CAnsiToWide() { SmallHeapFree(heap_); }
