#include "platform/kernel/modules.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/kernel/last_error.h"

namespace kernel {

struct ModuleTag {
    std::string name;  // lower case
    std::vector<std::pair<std::string, FARPROC>> exports;
    unsigned loads = 0;
};

namespace {

struct Registry {
    std::mutex lock;
    // Records are never freed, so a handle once given out never dangles;
    // a handle is still checked against this list before it is used.
    std::vector<std::unique_ptr<ModuleTag>> modules;
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string Lowered(const char* text) {
    std::string result(text);
    for (char& c : result) c = Lower(c);
    return result;
}

// The name a module is known by: without an extension in its last path
// component, ".dll" is meant; a trailing dot stands for "no extension".
std::string ModuleName(const char* fileName) {
    std::string name = Lowered(fileName);
    const std::size_t slash = name.find_last_of("/\\");
    const std::size_t start = slash == std::string::npos ? 0 : slash + 1;
    if (name.find('.', start) == std::string::npos) {
        name += ".dll";
    } else if (name.back() == '.') {
        name.pop_back();
    }
    return name;
}

ModuleTag* FindByName(Registry& registry, const std::string& name) {
    for (const auto& module : registry.modules) {
        if (module->name == name) return module.get();
    }
    return nullptr;
}

bool IsModule(Registry& registry, HMODULE handle) {
    for (const auto& module : registry.modules) {
        if (module.get() == handle) return true;
    }
    return false;
}

// Small values stand for ordinals, not names.
bool IsOrdinal(const char* procName) { return (reinterpret_cast<std::uintptr_t>(procName) >> 16) == 0; }

}  // namespace

bool RegisterModule(const char* fileName, std::span<const ModuleExport> exports) {
    if (!fileName || !*fileName) return false;
    std::vector<std::pair<std::string, FARPROC>> table;
    for (const ModuleExport& entry : exports) {
        if (!entry.name || !*entry.name || !entry.proc) return false;
        table.emplace_back(entry.name, entry.proc);
    }
    Registry& registry = TheRegistry();
    const std::scoped_lock guard(registry.lock);
    const std::string name = ModuleName(fileName);
    ModuleTag* module = FindByName(registry, name);
    if (!module) {
        registry.modules.push_back(std::make_unique<ModuleTag>());
        module = registry.modules.back().get();
        module->name = name;
    }
    module->exports = std::move(table);
    return true;
}

HMODULE LoadLibraryA(const char* fileName) {
    if (!fileName || !*fileName) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    Registry& registry = TheRegistry();
    const std::scoped_lock guard(registry.lock);
    ModuleTag* module = FindByName(registry, ModuleName(fileName));
    if (!module) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    ++module->loads;
    return module;
}

FARPROC GetProcAddress(HMODULE module, const char* procName) {
    Registry& registry = TheRegistry();
    const std::scoped_lock guard(registry.lock);
    if (!IsModule(registry, module) || module->loads == 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (!IsOrdinal(procName)) {
        // Entry names are case-sensitive, as exports are.
        for (const auto& [name, proc] : module->exports) {
            if (name == procName) return proc;
        }
    }
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
}

BOOL FreeLibrary(HMODULE module) {
    Registry& registry = TheRegistry();
    const std::scoped_lock guard(registry.lock);
    if (!IsModule(registry, module) || module->loads == 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    --module->loads;
    return TRUE;
}

}  // namespace kernel
