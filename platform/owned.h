#pragma once
// An object of a C library owned by a unique_ptr that frees it with the
// library's own function, as in platform::Owned<heif_context, heif_context_free>.

#include <memory>

namespace platform {

template <auto Free>
struct FreeWith {
    template <typename T>
    void operator()(T* object) const {
        Free(object);
    }
};

template <typename T, auto Free>
using Owned = std::unique_ptr<T, FreeWith<Free>>;

}  // namespace platform
