#pragma once
// What the windowing service knows about each window, and the state it
// keeps for the whole process (capture, activation, pointer shape). Only
// the service's own sources include this: it reaches Qt.

#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/user/internal/handle_table.h"
#include "platform/user/records.h"

namespace user::internal {

struct ClassRecord;

struct WindowRecord {
    HWND handle = nullptr;
    std::shared_ptr<const ClassRecord> windowClass;
    WNDPROC proc = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    HWND owner = nullptr;   // top-level windows: the window it stays above
    HWND parent = nullptr;  // child windows: the window it lies in
    std::vector<HWND> children;
    HINSTANCE instance = nullptr;
    UINT_PTR id = 0;
    LONG_PTR userData = 0;
    std::string text;            // UTF-8
    SIZE clientSize{0, 0};       // as asked; the toolkit shows at least 1 x 1
    POINT reportedOrigin{0, 0};  // last position told through WM_MOVE
    SIZE reportedSize{-1, -1};   // last size told through WM_SIZE
    QPointer<QWidget> widget;
    HMENU systemMenu = nullptr;
    HWND lastActivePopup = nullptr;
    HICON bigIcon = nullptr;
    HICON smallIcon = nullptr;
    bool destroying = false;
    bool hiddenWithOwner = false;
    std::uint64_t serial = 0;  // creation order
};

using WindowTable = CHandleTable<HWND, WindowRecord>;
WindowTable& Windows();

WindowRecord* FindWindowRecord(HWND window);
// window while it exists, else null.
inline HWND LiveOrNull(HWND window) { return FindWindowRecord(window) ? window : nullptr; }
std::shared_ptr<WindowRecord> LockWindowRecord(HWND window);

// The window a widget stands for, or null.
HWND WindowOfWidget(const QObject* widget);
void BindWidget(QWidget* widget, HWND window);

// The top-level windows a window owns, oldest first.
std::vector<HWND> OwnedWindows(HWND owner);

// The top-level window that a window lies in (itself when top-level).
HWND TopLevelOf(HWND window);
bool IsChildStyle(const WindowRecord& record);

// Upper-left corner of the client area in screen pixels.
POINT ClientOrigin(const WindowRecord& record);

// Process-wide state of the service; touched only on the GUI thread.
struct ServiceState {
    HWND capture = nullptr;
    HWND active = nullptr;
    HWND focus = nullptr;
    HWND pointerWindow = nullptr;  // the window the pointer is over
    HCURSOR cursor = nullptr;      // the shape last set with SetCursor
    bool cursorSet = false;
};
ServiceState& State();

// Widens a toolkit position to the signed 16-bit pair of a mouse message.
LPARAM PackPoint(int x, int y);

}  // namespace user::internal
