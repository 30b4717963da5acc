#pragma once
// A test's own view of the X server: finds windows by title, reads their
// geometry, sends real pointer and key events (XTest), grabs the screen's
// pixels and the pointer's current shape. Each object has its own
// connection, so a helper thread can drive a modal box or menu while the
// GUI thread runs its nested loop; use one object per thread.

#include <chrono>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace testsupport {

using XWindow = unsigned long;

struct ScreenRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const ScreenRect&, const ScreenRect&) = default;
    friend void PrintTo(const ScreenRect& r, std::ostream* os) {
        *os << "(" << r.x << ", " << r.y << ", " << r.width << " x " << r.height << ")";
    }
};

// Screen pixels as 0x00RRGGBB, top row first.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> rgb;
    std::uint32_t At(int x, int y) const { return rgb[static_cast<std::size_t>(y) * width + x]; }
    friend bool operator==(const Pixels&, const Pixels&) = default;
};

// The pointer's shape as the server shows it: premultiplied 0xAARRGGBB.
struct CursorPicture {
    int width = 0;
    int height = 0;
    int hotX = 0;
    int hotY = 0;
    std::vector<std::uint32_t> argb;
};

class CXSession {
public:
    CXSession();  // connects to $DISPLAY
    ~CXSession();
    CXSession(const CXSession&) = delete;
    CXSession& operator=(const CXSession&) = delete;

    bool IsOpen() const { return display_ != nullptr; }

    // Windows.
    // A viewable top-level window with that title (UTF-8), or 0.
    XWindow FindWindow(const std::string& title);
    // Polls for it (without serving the program's messages: for helper
    // threads).
    XWindow WaitForWindow(const std::string& title, std::chrono::milliseconds timeout);
    // Viewable windows the window manager does not manage (menus, overlays).
    std::vector<XWindow> OverrideRedirectWindows();
    std::optional<ScreenRect> Geometry(XWindow window);
    int BorderWidth(XWindow window);
    bool IsShown(XWindow window);
    bool Exists(XWindow window);
    std::string Title(XWindow window);
    XWindow TransientFor(XWindow window);
    // The named atoms of _NET_WM_WINDOW_TYPE and of _NET_WM_STATE.
    std::vector<std::string> WindowTypes(XWindow window);
    std::vector<std::string> WindowStates(XWindow window);
    // Sizes (width, height) of the pictures in _NET_WM_ICON.
    std::vector<std::pair<int, int>> IconSizes(XWindow window);
    // The window with the keyboard's input focus, or 0.
    XWindow KeyboardFocus();
    // Top-level windows from the bottom of the stack to the top.
    std::vector<XWindow> StackingOrder();

    // Input: real events through the server.
    void MovePointer(int x, int y);
    void PressButton(int button);
    void ReleaseButton(int button);
    // keysym names as XStringToKeysym takes them: "Return", "space", "Alt_L".
    void PressKey(const char* keysym);
    void ReleaseKey(const char* keysym);
    void TapKey(const char* keysym, std::initializer_list<const char*> modifiers = {});
    // Types printable ASCII text key by key, with Shift where the keyboard
    // map needs it.
    void TypeText(const std::string& text);

    // Screen.
    Pixels Grab(int x, int y, int width, int height);
    std::optional<CursorPicture> Cursor();

    // Selections: owns the named selection (for example a compositor's
    // _NET_WM_CM_S0) until released or until the session ends.
    bool ClaimSelection(const char* name);
    void ReleaseSelection(const char* name);

    void Sync();
    // Sends window (a program's window) a client message of the type
    // _PELMORA_TEST_MARKER carrying serial, behind everything sent before.
    void SendMarker(XWindow window, long serial);

private:
    void FakeKey(const char* keysym, bool press);
    void* display_ = nullptr;
    XWindow selectionWindow_ = 0;
};

}  // namespace testsupport
