#include "platform/kernel/string_length.h"

#include <climits>
#include <cstring>

namespace kernel {

int lstrlenA(const char* text) {
    if (text == nullptr) return 0;
    size_t length = std::strlen(text);
    return length > INT_MAX ? INT_MAX : static_cast<int>(length);
}

}  // namespace kernel
