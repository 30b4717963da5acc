#include "platform/user/overlay_screen.h"

#include <pixman.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

// Last: Xlib defines macros such as None and Bool.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/shape.h>

namespace user {
namespace {

int IgnoreErrors(Display*, XErrorEvent*) { return 0; }

// Reads part of the root window; null when the server refuses, without
// ending the program as Xlib's default error handler would.
XImage* ReadRoot(Display* display, Window root, const pixman_box32_t& box) {
    auto* previous = XSetErrorHandler(IgnoreErrors);
    XImage* image = XGetImage(display, root, box.x1, box.y1, static_cast<unsigned>(box.x2 - box.x1),
                              static_cast<unsigned>(box.y2 - box.y1), AllPlanes, ZPixmap);
    XSync(display, False);
    XSetErrorHandler(previous);
    return image;
}

bool PatternBit(const BYTE rows[8], LONG x, LONG y) { return ((rows[y & 7] >> (7 - (x & 7))) & 1) != 0; }

}  // namespace

struct COverlayScreen::State {
    Display* display = nullptr;
    int screen = 0;
    Window root = 0;
    Visual* visual = nullptr;
    int depth = 0;
    LONG width = 0;
    LONG height = 0;
    unsigned long invertMask = 0;
    unsigned long black = 0;
    unsigned long white = 0;
    Reading reading = Reading::screen;
    bool xwayland = false;

    // The drawing now shown: which pixels are inverted (one bit each), the
    // area whose windows show them, and what the screen had there.
    std::vector<BYTE> inverted;
    std::vector<unsigned long> screenPixels;
    pixman_region32_t covered;
    pixman_region32_t readArea;
    bool readable = false;
    std::vector<Window> windows;

    State() {
        pixman_region32_init(&covered);
        pixman_region32_init(&readArea);
    }
    ~State() {
        if (display) {
            for (Window window : windows) XDestroyWindow(display, window);
            XCloseDisplay(display);
        }
        pixman_region32_fini(&covered);
        pixman_region32_fini(&readArea);
    }

    std::size_t Index(LONG x, LONG y) const { return static_cast<std::size_t>(y) * width + x; }
    bool Inverted(LONG x, LONG y) const {
        const std::size_t i = Index(x, y);
        return (inverted[i >> 3] >> (i & 7)) & 1;
    }
    void Toggle(LONG x, LONG y) {
        const std::size_t i = Index(x, y);
        inverted[i >> 3] ^= static_cast<BYTE>(1u << (i & 7));
    }

    bool Allocate() {
        if (!inverted.empty()) return true;
        try {
            inverted.assign((static_cast<std::size_t>(width) * height + 7) / 8, 0);
            screenPixels.assign(static_cast<std::size_t>(width) * height, 0);
        } catch (const std::bad_alloc&) {
            inverted.clear();
            screenPixels.clear();
            return false;
        }
        return true;
    }

    // Remembers the screen's pixels of the area before anything covers it.
    void ReadScreen(pixman_region32_t* area) {
        pixman_region32_t unread;
        pixman_region32_init(&unread);
        pixman_region32_subtract(&unread, area, &readArea);
        int count = 0;
        const pixman_box32_t* boxes = pixman_region32_rectangles(&unread, &count);
        for (int i = 0; i < count && readable; ++i) {
            XImage* image = ReadRoot(display, root, boxes[i]);
            if (!image) {
                readable = false;
                break;
            }
            for (int y = boxes[i].y1; y < boxes[i].y2; ++y) {
                for (int x = boxes[i].x1; x < boxes[i].x2; ++x) {
                    screenPixels[Index(x, y)] = XGetPixel(image, x - boxes[i].x1, y - boxes[i].y1);
                }
            }
            XDestroyImage(image);
        }
        pixman_region32_union(&readArea, &readArea, &unread);
        pixman_region32_fini(&unread);
    }

    Window NewWindow() {
        XSetWindowAttributes attributes{};
        attributes.override_redirect = True;
        attributes.background_pixmap = None;
        attributes.save_under = True;
        attributes.backing_store = Always;
        const Window window =
            XCreateWindow(display, root, 0, 0, 1, 1, 0, CopyFromParent, InputOutput, CopyFromParent,
                          CWOverrideRedirect | CWBackPixmap | CWSaveUnder | CWBackingStore, &attributes);
        // Clicks pass through to whatever lies below.
        XShapeCombineRectangles(display, window, ShapeInput, 0, 0, nullptr, 0, ShapeSet, Unsorted);
        // Drag feedback: compositors leave such windows without shadows.
        const Atom type = XInternAtom(display, "_NET_WM_WINDOW_TYPE", False);
        const Atom dnd = XInternAtom(display, "_NET_WM_WINDOW_TYPE_DND", False);
        XChangeProperty(display, window, type, XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&dnd), 1);
        return window;
    }

    void Show(Window window, const pixman_box32_t& box) {
        const int w = box.x2 - box.x1;
        const int h = box.y2 - box.y1;
        XImage* image = XCreateImage(display, visual, static_cast<unsigned>(depth), ZPixmap, 0, nullptr,
                                     static_cast<unsigned>(w), static_cast<unsigned>(h), 32, 0);
        if (!image) return;
        std::vector<char> data(static_cast<std::size_t>(image->bytes_per_line) * h);
        image->data = data.data();
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const LONG sx = box.x1 + x;
                const LONG sy = box.y1 + y;
                const bool on = Inverted(sx, sy);
                const unsigned long pixel =
                    readable ? screenPixels[Index(sx, sy)] ^ (on ? invertMask : 0) : (on ? black : white);
                XPutPixel(image, x, y, pixel);
            }
        }
        XMoveResizeWindow(display, window, box.x1, box.y1, static_cast<unsigned>(w), static_cast<unsigned>(h));
        XMapRaised(display, window);
        GC gc = DefaultGC(display, screen);
        XPutImage(display, window, gc, image, 0, 0, 0, 0, static_cast<unsigned>(w), static_cast<unsigned>(h));
        image->data = nullptr;  // the vector owns it
        XDestroyImage(image);
    }

    // One window per rectangle of the covered area.
    void ShowCovered() {
        int count = 0;
        const pixman_box32_t* boxes = pixman_region32_rectangles(&covered, &count);
        while (windows.size() > static_cast<std::size_t>(count)) {
            XDestroyWindow(display, windows.back());
            windows.pop_back();
        }
        while (windows.size() < static_cast<std::size_t>(count)) windows.push_back(NewWindow());
        for (int i = 0; i < count; ++i) Show(windows[static_cast<std::size_t>(i)], boxes[i]);
    }
};

std::shared_ptr<COverlayScreen> COverlayScreen::Open(const char* displayName, Reading reading) {
    Display* display = XOpenDisplay(displayName);
    if (!display) return nullptr;
    auto state = std::make_unique<State>();
    state->display = display;
    state->screen = DefaultScreen(display);
    state->root = RootWindow(display, state->screen);
    state->visual = DefaultVisual(display, state->screen);
    state->depth = DefaultDepth(display, state->screen);
    state->width = DisplayWidth(display, state->screen);
    state->height = DisplayHeight(display, state->screen);
    state->invertMask = state->visual->red_mask | state->visual->green_mask | state->visual->blue_mask;
    state->black = BlackPixel(display, state->screen);
    state->white = WhitePixel(display, state->screen);
    state->reading = reading;
    // Under XWayland the root window holds no picture of the desktop.
    int opcode = 0;
    int event = 0;
    int error = 0;
    state->xwayland = XQueryExtension(display, "XWAYLAND", &opcode, &event, &error);
    return std::shared_ptr<COverlayScreen>(new COverlayScreen(std::move(state)));
}

COverlayScreen::COverlayScreen(std::unique_ptr<State> state) : state_(std::move(state)) {}

COverlayScreen::~COverlayScreen() = default;

RECT COverlayScreen::Bounds() const { return RECT{0, 0, state_->width, state_->height}; }

size_t COverlayScreen::WindowCount() const { return state_->windows.size(); }

bool COverlayScreen::InvertPattern(const RECT* rects, size_t count, const BYTE rows[8]) {
    State& s = *state_;
    if (count == 0) return true;
    if (!rects || !rows || !s.Allocate()) return false;

    std::vector<pixman_box32_t> boxes;
    for (size_t i = 0; i < count; ++i) {
        const pixman_box32_t box{std::max<LONG>(rects[i].left, 0), std::max<LONG>(rects[i].top, 0),
                                 std::min(rects[i].right, s.width), std::min(rects[i].bottom, s.height)};
        if (box.x1 < box.x2 && box.y1 < box.y2) boxes.push_back(box);
    }
    if (boxes.empty()) return true;
    pixman_region32_t added;
    pixman_region32_init_rects(&added, boxes.data(), static_cast<int>(boxes.size()));

    if (!pixman_region32_not_empty(&s.covered)) {
        // A new drawing: the screen is read afresh from here on.
        pixman_region32_clear(&s.readArea);
        std::fill(s.inverted.begin(), s.inverted.end(), 0);
        s.readable = s.reading == Reading::screen && !s.xwayland;
    }
    if (s.readable) s.ReadScreen(&added);

    for (const pixman_box32_t& box : boxes) {
        for (LONG y = box.y1; y < box.y2; ++y) {
            for (LONG x = box.x1; x < box.x2; ++x) {
                if (PatternBit(rows, x, y)) s.Toggle(x, y);
            }
        }
    }
    // Covered area ^= added: what is drawn twice is taken away.
    pixman_region32_t both;
    pixman_region32_init(&both);
    pixman_region32_intersect(&both, &s.covered, &added);
    pixman_region32_union(&s.covered, &s.covered, &added);
    pixman_region32_subtract(&s.covered, &s.covered, &both);
    pixman_region32_fini(&both);
    pixman_region32_fini(&added);

    s.ShowCovered();
    XSync(s.display, False);
    return true;
}

}  // namespace user
