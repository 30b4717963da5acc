#include "platform/user/window_classes.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/user/application.h"
#include "platform/user/internal/class_registry.h"
#include "platform/user/internal/window_registry.h"
#include "platform/user/user_testing.h"

namespace user {
namespace internal {
namespace {

// Windows' class atoms start here; string atoms never go below.
constexpr ATOM firstAtom = 0xC000;
constexpr std::size_t maxClassName = 255;

std::vector<std::shared_ptr<ClassRecord>>& Classes() {
    static std::vector<std::shared_ptr<ClassRecord>> classes;
    return classes;
}

bool SameName(const std::string& a, const char* b) {
    const std::size_t length = std::strlen(b);
    if (a.size() != length) return false;
    for (std::size_t i = 0; i < length; ++i) {
        auto lower = [](unsigned char c) { return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c; };
        if (lower(static_cast<unsigned char>(a[i])) != lower(static_cast<unsigned char>(b[i]))) return false;
    }
    return true;
}

ATOM NextAtom() {
    static ATOM next = firstAtom;
    return next < 0xFFFF ? next++ : 0;
}

std::shared_ptr<ClassRecord> Add(const WNDCLASSA& info, WidgetFactory factory) {
    if (!info.lpszClassName || IS_INTRESOURCE(info.lpszClassName) || !info.lpfnWndProc) return nullptr;
    const std::size_t length = std::strlen(info.lpszClassName);
    if (length == 0 || length > maxClassName) return nullptr;
    if (FindClass(info.lpszClassName)) return nullptr;
    const ATOM atom = NextAtom();
    if (atom == 0) return nullptr;
    auto record = std::make_shared<ClassRecord>();
    record->name = info.lpszClassName;
    record->info = info;
    record->info.lpszClassName = record->name.c_str();
    if (info.lpszMenuName && !IS_INTRESOURCE(info.lpszMenuName)) {
        record->menuName = info.lpszMenuName;
        record->info.lpszMenuName = record->menuName.c_str();
    }
    record->atom = atom;
    record->factory = factory;
    Classes().push_back(record);
    return record;
}

}  // namespace

std::shared_ptr<const ClassRecord> FindClass(LPCSTR name) {
    if (!name) return nullptr;
    for (const auto& record : Classes()) {
        if (IS_INTRESOURCE(name) ? record->atom == reinterpret_cast<std::uintptr_t>(name)
                                 : SameName(record->name, name)) {
            return record;
        }
    }
    return nullptr;
}

bool RegisterBuiltInClass(const char* name, UINT style, WNDPROC proc, HCURSOR cursor, WidgetFactory factory) {
    WNDCLASSA info{};
    info.style = style;
    info.lpfnWndProc = proc;
    info.hCursor = cursor;
    info.lpszClassName = name;
    return Add(info, factory) != nullptr;
}

std::shared_ptr<const ClassRecord> ClassOf(HWND window) {
    const WindowRecord* record = FindWindowRecord(window);
    return record ? record->windowClass : nullptr;
}

}  // namespace internal

ATOM RegisterClassA(const WNDCLASSA* windowClass) {
    if (!windowClass || windowClass->hInstance != GetModuleHandleA(nullptr)) return 0;
    const auto record = internal::Add(*windowClass, nullptr);
    return record ? record->atom : 0;
}

BOOL GetClassInfoA(HINSTANCE instance, LPCSTR className, WNDCLASSA* windowClass) {
    if (!windowClass || (instance && instance != GetModuleHandleA(nullptr))) return FALSE;
    const auto record = internal::FindClass(className);
    if (!record) return FALSE;
    *windowClass = record->info;
    return TRUE;
}

int GetClassNameA(HWND window, LPSTR buffer, int size) {
    const auto record = internal::ClassOf(window);
    if (!record || !buffer || size <= 0) return 0;
    const std::size_t length = std::min<std::size_t>(record->name.size(), static_cast<std::size_t>(size) - 1);
    std::memcpy(buffer, record->name.data(), length);
    buffer[length] = '\0';
    return static_cast<int>(length);
}

}  // namespace user
