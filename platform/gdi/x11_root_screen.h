#pragma once
// The X11 root window as the screen, over a display connection of its own:
// inverting draws with XOR through a stipple over every window
// (IncludeInferiors) and waits for the server (XSync), so a frame is on the
// screen, in order with the windows' own drawing, when a call returns.

#include <memory>

#include "platform/gdi/screen_backend.h"

namespace gdi {

class X11RootScreen final : public ScreenBackend {
public:
    // Null when the display cannot be opened. displayName null: $DISPLAY.
    static std::shared_ptr<X11RootScreen> Open(const char* displayName);
    ~X11RootScreen() override;

    RECT Bounds() const override;
    bool InvertPattern(const RECT* rects, size_t count, const BYTE rows[8]) override;

    struct Connection;  // Xlib state, kept out of this header

private:
    explicit X11RootScreen(std::unique_ptr<Connection> connection);
    std::unique_ptr<Connection> connection_;
};

}  // namespace gdi
