#pragma once
// Which whole-screen drawing back-end GetDC(nullptr) uses on this desktop.
// Without a compositing manager the root window's pixels are what the user
// sees, and inverting them in place is exact and cheap. With one (most
// desktops, and XWayland) root drawing is invisible, so thin windows above
// everything show the inverted pixels instead. The calling code draws the
// same way on either.

namespace user {

enum class ScreenSurfaceKind {
    none,        // nothing installed: GetDC(nullptr) fails
    rootWindow,  // the X11 root window, inverted in place
    overlay,     // windows above everything
    memory,      // no screen to draw on (a headless toolkit): an in-memory stand-in
};

// Looks at the desktop now (whether anyone owns the compositing manager's
// selection _NET_WM_CM_S<screen>), installs the matching back-end and
// returns which. StartApplication does this once.
ScreenSurfaceKind InstallScreenSurface();

}  // namespace user
