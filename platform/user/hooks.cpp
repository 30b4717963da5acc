#include "platform/user/hooks.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/user/internal/creation_hook.h"

namespace user {
namespace {

struct Hook {
    HHOOK handle;
    HOOKPROC proc;
};

// Newest first, as the chain is called.
std::vector<Hook>& Chain() {
    static std::vector<Hook> chain;
    return chain;
}

LRESULT CallFrom(std::size_t position, int code, WPARAM wParam, LPARAM lParam) {
    if (position >= Chain().size()) return 0;
    return Chain()[position].proc(code, wParam, lParam);
}

}  // namespace

HHOOK SetWindowsHookExA(int idHook, HOOKPROC proc, HINSTANCE, DWORD) {
    if (idHook != WH_CBT || !proc) return nullptr;
    static std::uintptr_t serial = 0;
    const auto handle = reinterpret_cast<HHOOK>(++serial);
    Chain().insert(Chain().begin(), Hook{handle, proc});
    return handle;
}

BOOL UnhookWindowsHookEx(HHOOK hook) {
    return std::erase_if(Chain(), [hook](const Hook& entry) { return entry.handle == hook; }) ? TRUE : FALSE;
}

LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam) {
    const auto found =
        std::find_if(Chain().begin(), Chain().end(), [hook](const Hook& entry) { return entry.handle == hook; });
    if (found == Chain().end()) return 0;
    return CallFrom(static_cast<std::size_t>(found - Chain().begin()) + 1, code, wParam, lParam);
}

namespace internal {

bool CreationAllowed(HWND window, CREATESTRUCTA* create) {
    CBT_CREATEWNDA created{create, nullptr};
    return CallFrom(0, HCBT_CREATEWND, reinterpret_cast<WPARAM>(window), reinterpret_cast<LPARAM>(&created)) == 0;
}

}  // namespace internal
}  // namespace user
