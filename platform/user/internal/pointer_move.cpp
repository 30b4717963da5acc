#include "platform/user/internal/pointer_move.h"

#include <QWidget>
#include <QWindow>

#include "platform/user/internal/window_registry.h"
#include "platform/user/messages.h"
#include "platform/user/window_management.h"

namespace user::internal {
namespace {

struct MoveState {
    bool active = false;
    HWND window = nullptr;
    QPoint startGlobal;
    QPoint startPosition;
    bool endsOnRelease = true;
    bool grabbed = false;
};

MoveState& Move() {
    static MoveState state;
    return state;
}

}  // namespace

void StartPointerMove(HWND window, QPoint startGlobal, bool endsOnRelease) {
    if (Move().active) return;
    const WindowRecord* record = FindWindowRecord(window);
    if (!record || IsChildStyle(*record) || !record->widget) return;
    QWidget* widget = record->widget;
    // A window manager moves the window itself, with its own feedback and
    // rules; it answers only while a button is down.
    if (endsOnRelease && widget->windowHandle() && widget->windowHandle()->startSystemMove()) return;

    RECT rect{};
    GetWindowRect(window, &rect);
    MoveState& move = Move();
    move = MoveState{true, window, startGlobal, QPoint(rect.left, rect.top), endsOnRelease, false};
    if (!endsOnRelease) {
        // No button holds the pointer: grab it so moves arrive everywhere.
        widget->grabMouse();
        move.grabbed = true;
    }
    SendMessageA(window, WM_ENTERSIZEMOVE, 0, 0);
}

bool PointerMoveActive() { return Move().active; }

void FeedPointerMove(QPoint global, MouseAction action) {
    MoveState& move = Move();
    if (!move.active) return;
    const WindowRecord* record = FindWindowRecord(move.window);
    if (!record) {
        EndPointerMove();
        return;
    }
    if (action == MouseAction::move) {
        const QPoint position = move.startPosition + (global - move.startGlobal);
        RECT rect{};
        GetWindowRect(move.window, &rect);
        if (position != QPoint(rect.left, rect.top)) {
            MoveWindow(move.window, position.x(), position.y(), rect.right - rect.left, rect.bottom - rect.top, TRUE);
        }
        return;
    }
    if (action == MouseAction::press || move.endsOnRelease) EndPointerMove();
}

void CancelPointerMove() {
    MoveState& move = Move();
    if (!move.active) return;
    RECT rect{};
    if (GetWindowRect(move.window, &rect)) {
        MoveWindow(move.window, move.startPosition.x(), move.startPosition.y(), rect.right - rect.left,
                   rect.bottom - rect.top, TRUE);
    }
    EndPointerMove();
}

void EndPointerMove() {
    MoveState& move = Move();
    if (!move.active) return;
    const HWND window = move.window;
    if (move.grabbed) {
        if (const WindowRecord* record = FindWindowRecord(window); record && record->widget) {
            record->widget->releaseMouse();
        }
    }
    move = MoveState{};
    SendMessageA(window, WM_EXITSIZEMOVE, 0, 0);
}

}  // namespace user::internal
