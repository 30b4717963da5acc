#pragma once
// What ends a failed data exchange, from the field that failed up to
// UpdateData.

namespace user::internal {

struct CExchangeFailure {};

}  // namespace user::internal
