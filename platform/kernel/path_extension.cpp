#include "platform/kernel/path_extension.h"

namespace kernel {
namespace {

template <class Char>
const Char* FindExtension(const Char* path) {
    if (path == nullptr) return nullptr;
    const Char* dot = nullptr;
    const Char* p = path;
    for (; *p != 0; ++p) {
        if (*p == '/') {
            dot = nullptr;
        } else if (*p == '.') {
            dot = p;
        }
    }
    return dot != nullptr ? dot : p;
}

}  // namespace

const char* PathFindExtensionA(const char* path) { return FindExtension(path); }

const WCHAR* PathFindExtensionW(const WCHAR* path) { return FindExtension(path); }

}  // namespace kernel
