#include "tests/support/x_session.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xfixes.h>

#include <cstdlib>
#include <mutex>
#include <thread>

namespace testsupport {
namespace {

Display* D(void* display) { return static_cast<Display*>(display); }

std::string PropertyText(Display* display, Window window, Atom property) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    std::string text;
    if (XGetWindowProperty(display, window, property, 0, 4096, False, AnyPropertyType, &type, &format, &count,
                           &remaining, &data) == Success &&
        data) {
        if (format == 8) text.assign(reinterpret_cast<const char*>(data), count);
        XFree(data);
    }
    return text;
}

std::vector<Window> RootChildren(Display* display) {
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    std::vector<Window> result;
    if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) {
        result.assign(children, children + count);
        if (children) XFree(children);
    }
    return result;
}

bool Attributes(Display* display, Window window, XWindowAttributes* attributes) {
    return XGetWindowAttributes(display, window, attributes) != 0;
}

// Windows come and go while a test looks at them: a request about one that
// has just gone must not end the test program, as Xlib's default handler
// would.
int IgnoreErrors(Display*, XErrorEvent*) { return 0; }

}  // namespace

CXSession::CXSession() {
    static std::once_flag handlerSet;
    std::call_once(handlerSet, [] { XSetErrorHandler(IgnoreErrors); });
    display_ = XOpenDisplay(nullptr);
}

CXSession::~CXSession() {
    if (!display_) return;
    if (selectionWindow_) XDestroyWindow(D(display_), selectionWindow_);
    XCloseDisplay(D(display_));
}

void CXSession::Sync() {
    if (display_) XSync(D(display_), False);
}

void CXSession::SendMarker(XWindow window, long serial) {
    if (!display_) return;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(D(display_), "_PELMORA_TEST_MARKER", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = serial;
    XSendEvent(D(display_), window, False, NoEventMask, &event);
    XSync(D(display_), False);
}

std::string CXSession::Title(XWindow window) {
    Display* display = D(display_);
    std::string title = PropertyText(display, window, XInternAtom(display, "_NET_WM_NAME", False));
    if (title.empty()) title = PropertyText(display, window, XA_WM_NAME);
    return title;
}

XWindow CXSession::FindWindow(const std::string& title) {
    if (!display_) return 0;
    for (Window window : RootChildren(D(display_))) {
        if (IsShown(window) && Title(window) == title) return window;
    }
    return 0;
}

XWindow CXSession::WaitForWindow(const std::string& title, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    do {
        if (XWindow window = FindWindow(title)) return window;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    } while (std::chrono::steady_clock::now() < end);
    return 0;
}

std::vector<XWindow> CXSession::OverrideRedirectWindows() {
    std::vector<XWindow> result;
    if (!display_) return result;
    for (Window window : RootChildren(D(display_))) {
        XWindowAttributes attributes;
        if (Attributes(D(display_), window, &attributes) && attributes.override_redirect &&
            attributes.map_state == IsViewable) {
            result.push_back(window);
        }
    }
    return result;
}

std::optional<ScreenRect> CXSession::Geometry(XWindow window) {
    XWindowAttributes attributes;
    if (!display_ || !Attributes(D(display_), window, &attributes)) return std::nullopt;
    int x = 0;
    int y = 0;
    Window child = 0;
    XTranslateCoordinates(D(display_), window, DefaultRootWindow(D(display_)), 0, 0, &x, &y, &child);
    return ScreenRect{x, y, attributes.width, attributes.height};
}

int CXSession::BorderWidth(XWindow window) {
    XWindowAttributes attributes;
    return display_ && Attributes(D(display_), window, &attributes) ? attributes.border_width : -1;
}

bool CXSession::IsShown(XWindow window) {
    XWindowAttributes attributes;
    return display_ && Attributes(D(display_), window, &attributes) && attributes.map_state == IsViewable;
}

bool CXSession::Exists(XWindow window) {
    XWindowAttributes attributes;
    return display_ && Attributes(D(display_), window, &attributes);
}

XWindow CXSession::TransientFor(XWindow window) {
    Window owner = 0;
    return display_ && XGetTransientForHint(D(display_), window, &owner) ? owner : 0;
}

namespace {

std::vector<std::string> AtomNames(Display* display, Window window, const char* property) {
    std::vector<std::string> names;
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, XInternAtom(display, property, False), 0, 64, False, XA_ATOM, &type,
                           &format, &count, &remaining, &data) == Success &&
        data) {
        const auto* atoms = reinterpret_cast<const Atom*>(data);
        for (unsigned long i = 0; i < count; ++i) {
            if (char* name = XGetAtomName(display, atoms[i])) {
                names.emplace_back(name);
                XFree(name);
            }
        }
        XFree(data);
    }
    return names;
}

}  // namespace

std::vector<std::string> CXSession::WindowTypes(XWindow window) {
    return display_ ? AtomNames(D(display_), window, "_NET_WM_WINDOW_TYPE") : std::vector<std::string>{};
}

std::vector<std::string> CXSession::WindowStates(XWindow window) {
    return display_ ? AtomNames(D(display_), window, "_NET_WM_STATE") : std::vector<std::string>{};
}

std::vector<std::pair<int, int>> CXSession::IconSizes(XWindow window) {
    std::vector<std::pair<int, int>> sizes;
    if (!display_) return sizes;
    Display* display = D(display_);
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, XInternAtom(display, "_NET_WM_ICON", False), 0, 1 << 20, False, XA_CARDINAL,
                           &type, &format, &count, &remaining, &data) == Success &&
        data) {
        // Format 32 comes as longs: width, height, then width * height pixels.
        const auto* values = reinterpret_cast<const unsigned long*>(data);
        for (unsigned long i = 0; i + 2 <= count;) {
            const unsigned long width = values[i];
            const unsigned long height = values[i + 1];
            sizes.emplace_back(static_cast<int>(width), static_cast<int>(height));
            i += 2 + width * height;
        }
        XFree(data);
    }
    return sizes;
}

XWindow CXSession::KeyboardFocus() {
    if (!display_) return 0;
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(D(display_), &focus, &revert);
    return focus == PointerRoot ? 0 : focus;
}

std::vector<XWindow> CXSession::StackingOrder() {
    std::vector<XWindow> order;
    if (!display_) return order;
    for (Window window : RootChildren(D(display_))) order.push_back(window);
    return order;
}

void CXSession::MovePointer(int x, int y) {
    if (!display_) return;
    XTestFakeMotionEvent(D(display_), -1, x, y, CurrentTime);
    XSync(D(display_), False);
}

void CXSession::PressButton(int button) {
    if (!display_) return;
    XTestFakeButtonEvent(D(display_), static_cast<unsigned>(button), True, CurrentTime);
    XSync(D(display_), False);
}

void CXSession::ReleaseButton(int button) {
    if (!display_) return;
    XTestFakeButtonEvent(D(display_), static_cast<unsigned>(button), False, CurrentTime);
    XSync(D(display_), False);
}

void CXSession::FakeKey(const char* keysym, bool press) {
    if (!display_) return;
    const KeyCode code = XKeysymToKeycode(D(display_), XStringToKeysym(keysym));
    if (code == 0) return;
    XTestFakeKeyEvent(D(display_), code, press ? True : False, CurrentTime);
    XSync(D(display_), False);
}

void CXSession::PressKey(const char* keysym) { FakeKey(keysym, true); }

void CXSession::ReleaseKey(const char* keysym) { FakeKey(keysym, false); }

void CXSession::TypeText(const std::string& text) {
    if (!display_) return;
    Display* display = D(display_);
    const KeyCode shift = XKeysymToKeycode(display, XK_Shift_L);
    for (const char c : text) {
        // Printable ASCII keysyms are the characters' own codes.
        const auto keysym = static_cast<KeySym>(static_cast<unsigned char>(c));
        const KeyCode code = XKeysymToKeycode(display, keysym);
        if (code == 0) continue;
        int perCode = 0;
        KeySym* mapping = XGetKeyboardMapping(display, code, 1, &perCode);
        const bool shifted = mapping && perCode > 1 && mapping[0] != keysym && mapping[1] == keysym;
        if (mapping) XFree(mapping);
        if (shifted) XTestFakeKeyEvent(display, shift, True, CurrentTime);
        XTestFakeKeyEvent(display, code, True, CurrentTime);
        XTestFakeKeyEvent(display, code, False, CurrentTime);
        if (shifted) XTestFakeKeyEvent(display, shift, False, CurrentTime);
        XSync(display, False);
    }
}

void CXSession::TapKey(const char* keysym, std::initializer_list<const char*> modifiers) {
    for (const char* modifier : modifiers) PressKey(modifier);
    PressKey(keysym);
    ReleaseKey(keysym);
    for (auto it = std::rbegin(modifiers); it != std::rend(modifiers); ++it) ReleaseKey(*it);
}

Pixels CXSession::Grab(int x, int y, int width, int height) {
    Pixels pixels;
    if (!display_ || width <= 0 || height <= 0) return pixels;
    Display* display = D(display_);
    XImage* image = XGetImage(display, DefaultRootWindow(display), x, y, static_cast<unsigned>(width),
                              static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (!image) return pixels;
    pixels.width = width;
    pixels.height = height;
    pixels.rgb.resize(static_cast<std::size_t>(width) * height);
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            pixels.rgb[static_cast<std::size_t>(row) * width + column] =
                static_cast<std::uint32_t>(XGetPixel(image, column, row) & 0xFFFFFF);
        }
    }
    XDestroyImage(image);
    return pixels;
}

std::optional<CursorPicture> CXSession::Cursor() {
    if (!display_) return std::nullopt;
    int eventBase = 0;
    int errorBase = 0;
    if (!XFixesQueryExtension(D(display_), &eventBase, &errorBase)) return std::nullopt;
    XFixesCursorImage* image = XFixesGetCursorImage(D(display_));
    if (!image) return std::nullopt;
    CursorPicture picture;
    picture.width = image->width;
    picture.height = image->height;
    picture.hotX = image->xhot;
    picture.hotY = image->yhot;
    for (int i = 0; i < image->width * image->height; ++i) {
        picture.argb.push_back(static_cast<std::uint32_t>(image->pixels[i]));
    }
    XFree(image);
    return picture;
}

bool CXSession::ClaimSelection(const char* name) {
    if (!display_) return false;
    Display* display = D(display_);
    if (!selectionWindow_) {
        selectionWindow_ = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    }
    const Atom selection = XInternAtom(display, name, False);
    XSetSelectionOwner(display, selection, selectionWindow_, CurrentTime);
    XSync(display, False);
    return XGetSelectionOwner(display, selection) == selectionWindow_;
}

void CXSession::ReleaseSelection(const char* name) {
    if (!display_) return;
    XSetSelectionOwner(D(display_), XInternAtom(D(display_), name, False), None, CurrentTime);
    XSync(D(display_), False);
}

}  // namespace testsupport
