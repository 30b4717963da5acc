#include "platform/gdi/x11_root_screen.h"

#include <algorithm>
#include <mutex>
#include <new>
#include <vector>

// Last: Xlib defines macros such as None and Bool.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace gdi {

struct X11RootScreen::Connection {
    Display* display = nullptr;
    Window root = 0;
    GC gc = nullptr;
    Pixmap stipple = 0;
    BYTE stippleRows[8] = {};
    int width = 0;
    int height = 0;
    std::mutex mutex;

    ~Connection() {
        if (display == nullptr) return;
        if (stipple != 0) XFreePixmap(display, stipple);
        if (gc != nullptr) XFreeGC(display, gc);
        XCloseDisplay(display);
    }

    // Our rows are most-significant bit first; Xlib bitmaps read each byte
    // least-significant bit first.
    bool UseStipple(const BYTE rows[8]) {
        if (stipple != 0 && std::equal(rows, rows + 8, stippleRows)) return true;
        char data[8];
        for (int k = 0; k < 8; ++k) {
            BYTE reversed = 0;
            for (int bit = 0; bit < 8; ++bit) {
                if ((rows[k] >> bit) & 1) reversed |= static_cast<BYTE>(0x80u >> bit);
            }
            data[k] = static_cast<char>(reversed);
        }
        const Pixmap created = XCreateBitmapFromData(display, root, data, 8, 8);
        if (created == 0) return false;
        XSetStipple(display, gc, created);
        if (stipple != 0) XFreePixmap(display, stipple);
        stipple = created;
        std::copy(rows, rows + 8, stippleRows);
        return true;
    }
};

std::shared_ptr<X11RootScreen> X11RootScreen::Open(const char* displayName) {
    Display* display = XOpenDisplay(displayName);
    if (display == nullptr) return nullptr;
    std::unique_ptr<Connection> connection(new (std::nothrow) Connection);
    if (connection == nullptr) {
        XCloseDisplay(display);
        return nullptr;
    }
    connection->display = display;
    const int screen = DefaultScreen(display);
    connection->root = RootWindow(display, screen);
    connection->width = DisplayWidth(display, screen);
    connection->height = DisplayHeight(display, screen);

    XGCValues values{};
    values.function = GXxor;
    values.foreground = ~0UL;  // XOR with all ones inverts every plane
    values.fill_style = FillStippled;
    values.ts_x_origin = 0;
    values.ts_y_origin = 0;
    // Without it the pixels over windows would be skipped.
    values.subwindow_mode = IncludeInferiors;
    values.graphics_exposures = False;
    connection->gc = XCreateGC(display, connection->root,
                               GCFunction | GCForeground | GCFillStyle | GCTileStipXOrigin | GCTileStipYOrigin |
                                   GCSubwindowMode | GCGraphicsExposures,
                               &values);
    if (connection->gc == nullptr) return nullptr;
    return std::shared_ptr<X11RootScreen>(new (std::nothrow) X11RootScreen(std::move(connection)));
}

X11RootScreen::X11RootScreen(std::unique_ptr<Connection> connection) : connection_(std::move(connection)) {}

X11RootScreen::~X11RootScreen() = default;

RECT X11RootScreen::Bounds() const { return RECT{0, 0, connection_->width, connection_->height}; }

bool X11RootScreen::InvertPattern(const RECT* rects, size_t count, const BYTE rows[8]) {
    if (count == 0) return true;
    if (rects == nullptr || rows == nullptr) return false;
    Connection& c = *connection_;
    std::lock_guard lock(c.mutex);
    std::vector<XRectangle> clip;
    try {
        clip.reserve(count);
    } catch (const std::bad_alloc&) {
        return false;
    }
    // XRectangle holds 16-bit values: keep each rectangle on the screen.
    LONG left = c.width, top = c.height, right = 0, bottom = 0;
    for (size_t i = 0; i < count; ++i) {
        const LONG x0 = std::max<LONG>(rects[i].left, 0);
        const LONG y0 = std::max<LONG>(rects[i].top, 0);
        const LONG x1 = std::min<LONG>(rects[i].right, c.width);
        const LONG y1 = std::min<LONG>(rects[i].bottom, c.height);
        if (x0 >= x1 || y0 >= y1) continue;
        clip.push_back(XRectangle{static_cast<short>(x0), static_cast<short>(y0), static_cast<unsigned short>(x1 - x0),
                                  static_cast<unsigned short>(y1 - y0)});
        left = std::min(left, x0);
        top = std::min(top, y0);
        right = std::max(right, x1);
        bottom = std::max(bottom, y1);
    }
    if (clip.empty()) return true;
    if (!c.UseStipple(rows)) return false;
    XSetClipRectangles(c.display, c.gc, 0, 0, clip.data(), static_cast<int>(clip.size()), Unsorted);
    XFillRectangle(c.display, c.root, c.gc, left, top, static_cast<unsigned>(right - left),
                   static_cast<unsigned>(bottom - top));
    // Nothing reaches the screen until the request is sent, and a window
    // move issued after this call must not overtake it.
    XSync(c.display, False);
    return true;
}

}  // namespace gdi
