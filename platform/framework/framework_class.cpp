// Window classes the framework registers for its windows.
#include <cstdio>
#include <set>
#include <string>

#include "platform/user/application.h"
#include "platform/framework/cwnd.h"
#include "platform/user/messages.h"
#include "platform/user/window_classes.h"

namespace user {
namespace {

std::string Hex(const void* value) {
    char text[32];
    std::snprintf(text, sizeof text, "%08llX",
                  static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(value)));
    return text;
}

}  // namespace

LPCSTR AfxRegisterWndClass(UINT classStyle, HCURSOR cursor, gdi::HBRUSH background, HICON icon) {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    // One formatting call: chains of std::string additions trip a false
    // -Wrestrict in g++ 12 at -O3.
    char text[128];
    if (cursor || background || icon) {
        std::snprintf(text, sizeof text, "Afx:%s:%x:%s:%s:%s", Hex(instance).c_str(), classStyle, Hex(cursor).c_str(),
                      Hex(background).c_str(), Hex(icon).c_str());
    } else {
        std::snprintf(text, sizeof text, "Afx:%s:%x", Hex(instance).c_str(), classStyle);
    }
    std::string name = text;

    // Names handed out stay valid for the whole process.
    static std::set<std::string> names;
    const std::string& kept = *names.insert(name).first;
    WNDCLASSA existing{};
    if (GetClassInfoA(instance, kept.c_str(), &existing)) return kept.c_str();

    WNDCLASSA windowClass{};
    windowClass.style = classStyle;
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = instance;
    windowClass.hIcon = icon;
    windowClass.hCursor = cursor;
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = kept.c_str();
    return RegisterClassA(&windowClass) ? kept.c_str() : nullptr;
}

}  // namespace user
