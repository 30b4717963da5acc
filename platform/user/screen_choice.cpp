// Which whole-screen drawing back-end this desktop gets.
#include "platform/user/internal/lifecycle.h"

namespace user::internal {

void InstallScreenBackend() {}

void RemoveScreenBackend() {}

}  // namespace user::internal
