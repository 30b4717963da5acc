#include "platform/user/controls.h"

#include "platform/user/internal/dialog_state.h"

namespace user {

void InitCommonControls() { internal::EnsureDialogClasses(); }

}  // namespace user
