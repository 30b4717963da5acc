#include <QGuiApplication>
#include <QScreen>

#include <cstdio>

#include "platform/gdi/screen.h"
#include "platform/user/internal/lifecycle.h"
#include "platform/user/overlay_screen.h"
#include "platform/user/screen_surface.h"
#include "platform/user/user_testing.h"

// Last: Xlib defines macros such as None and Bool.
#include <X11/Xlib.h>

namespace user {
namespace {

ScreenSurfaceKind installed = ScreenSurfaceKind::none;

// Whether a compositing manager runs on the display's default screen: it
// owns the selection _NET_WM_CM_S<screen number>. XWayland counts as one
// whoever owns it: the Wayland compositor shows the windows, never the
// root window's pixels.
bool CompositorRuns(bool* displayOpened) {
    Display* display = XOpenDisplay(nullptr);
    *displayOpened = display != nullptr;
    if (!display) return false;
    char name[32];
    std::snprintf(name, sizeof name, "_NET_WM_CM_S%d", DefaultScreen(display));
    const Window owner = XGetSelectionOwner(display, XInternAtom(display, name, False));
    int opcode = 0;
    int event = 0;
    int error = 0;
    const bool xwayland = XQueryExtension(display, "XWAYLAND", &opcode, &event, &error);
    XCloseDisplay(display);
    return owner != None || xwayland;
}

ScreenSurfaceKind InstallMemoryScreen() {
    const QScreen* screen = QGuiApplication::instance() ? QGuiApplication::primaryScreen() : nullptr;
    const QSize size = screen ? screen->geometry().size() : QSize(0, 0);
    gdi::SetScreenBackend(std::make_shared<gdi::MemoryScreen>(size.width(), size.height()));
    return ScreenSurfaceKind::memory;
}

}  // namespace

ScreenSurfaceKind InstallScreenSurface() {
    installed = [] {
        if (QGuiApplication::platformName() != QLatin1String("xcb")) return InstallMemoryScreen();
        bool opened = false;
        const bool compositor = CompositorRuns(&opened);
        if (!opened) return InstallMemoryScreen();
        if (!compositor) {
            if (auto root = gdi::X11RootScreen::Open(nullptr)) {
                gdi::SetScreenBackend(root);
                return ScreenSurfaceKind::rootWindow;
            }
        } else if (auto overlay = COverlayScreen::Open(nullptr)) {
            gdi::SetScreenBackend(overlay);
            return ScreenSurfaceKind::overlay;
        }
        return InstallMemoryScreen();
    }();
    return installed;
}

ScreenSurfaceKind CurrentScreenSurface() { return installed; }

namespace internal {

void InstallScreenBackend() { InstallScreenSurface(); }

void RemoveScreenBackend() {
    gdi::SetScreenBackend(nullptr);
    installed = ScreenSurfaceKind::none;
}

}  // namespace internal
}  // namespace user
