#pragma once
// The loaded pointer shapes and icons: each kind of picture is loaded by
// number, from the program's resources or from the system's own, and
// loading the same one again shares the handle loaded first.

#include <cstdint>
#include <map>
#include <memory>
#include <utility>

#include "platform/user/application.h"
#include "platform/user/internal/handle_table.h"
#include "platform/user/records.h"

namespace user::internal {

template <typename Handle, typename Record>
class CResourcePictures {
public:
    explicit CResourcePictures(unsigned tag) : table_(tag) {}

    // instance null: the system's picture; the program's instance: its
    // resource. make(fromProgram, id, record) fills a new record, false when
    // there is no such picture. Null for that, a name that is not a number
    // or an instance of another module.
    template <typename Make>
    Handle Load(HINSTANCE instance, LPCSTR name, Make make) {
        if (!IsApplicationRunning() || !name || !IS_INTRESOURCE(name)) return nullptr;
        const bool fromProgram = instance != nullptr;
        if (fromProgram && instance != GetModuleHandleA(nullptr)) return nullptr;
        const WORD id = static_cast<WORD>(reinterpret_cast<std::uintptr_t>(name));
        const auto key = std::make_pair(fromProgram, id);
        if (const auto found = loaded_.find(key); found != loaded_.end()) return found->second;
        auto record = std::make_shared<Record>();
        if (!make(fromProgram, id, record.get())) return nullptr;
        const Handle handle = table_.Add(std::move(record));
        if (handle) loaded_[key] = handle;
        return handle;
    }

    const Record* Find(Handle handle) const { return table_.Find(handle); }

    // Ends every handle, as when the application stops.
    void Forget() {
        for (Handle handle : table_.Handles()) table_.Remove(handle);
        loaded_.clear();
    }

private:
    CHandleTable<Handle, Record> table_;
    std::map<std::pair<bool, WORD>, Handle> loaded_;
};

}  // namespace user::internal
