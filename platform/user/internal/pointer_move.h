#pragma once
// Moving a top-level window with the pointer, as grabbing its caption
// does: the window manager's own move where it offers one, otherwise the
// window follows the pointer here (as under a bare X server).

#include <QPoint>

#include "platform/user/internal/input_routing.h"
#include "platform/user/records.h"

namespace user::internal {

// endsOnRelease: started by a button press (the move ends when it is
// released); otherwise the move ends at the next click or Esc.
void StartPointerMove(HWND window, QPoint startGlobal, bool endsOnRelease);
bool PointerMoveActive();
// Feeds a pointer event while a move is active.
void FeedPointerMove(QPoint global, MouseAction action);
// Ends the move where the window is now.
void EndPointerMove();
// Ends the move with the window back where it started.
void CancelPointerMove();

}  // namespace user::internal
