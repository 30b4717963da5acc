#pragma once
// The toolkit's pictures behind pointer-shape and icon handles.

#include <QCursor>
#include <QIcon>
#include <QWidget>

#include "platform/user/records.h"

namespace user::internal {

// The shape of a handle from LoadCursorA; false for anything else.
bool CursorOf(HCURSOR cursor, QCursor* shape);
// Shows the shape last set with SetCursor on this widget (entering it).
void ApplyCurrentCursor(QWidget* widget);

// The picture of a handle from LoadIconA; a null icon for anything else.
QIcon IconOf(HICON icon);

// Ends every pointer-shape and icon handle: their pictures belong to the
// toolkit, which is shutting down.
void ForgetCursors();
void ForgetIcons();

}  // namespace user::internal
