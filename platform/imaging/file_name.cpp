#include "platform/imaging/file_name.h"

#include <new>

#include "platform/kernel/code_page.h"

namespace gdiplus {

bool FileSystemName(const WCHAR* path, std::string* name) {
    if (path == nullptr || *path == 0) return false;
    int needed = kernel::WideCharToMultiByte(kernel::CP_ACP, 0, path, -1, nullptr, 0, nullptr, nullptr);
    if (needed <= 1) return false;
    try {
        std::string bytes(static_cast<size_t>(needed), '\0');
        if (kernel::WideCharToMultiByte(kernel::CP_ACP, 0, path, -1, bytes.data(), needed, nullptr, nullptr) !=
            needed) {
            return false;
        }
        bytes.pop_back();  // the terminator
        // A NUL inside the name would silently shorten it.
        if (bytes.find('\0') != std::string::npos) return false;
        *name = std::move(bytes);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

}  // namespace gdiplus
