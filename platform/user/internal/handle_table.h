#pragma once
// The windowing service's registries use the platform's checked handles.

#include "platform/handle_table.h"

namespace user::internal {

using platform::CHandleTable;

}  // namespace user::internal
