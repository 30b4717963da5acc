#pragma once
// The whole-screen surface where a compositing manager runs. There the
// root window's pixels are not what the user sees, so inverting them shows
// nothing; instead, thin windows above everything cover exactly the area
// drawn on and show the inverted pixels themselves: the screen's own pixels
// inverted where the screen image can be read, black (inverted) and white
// (untouched) where it cannot. Drawing the same area again takes it away,
// as inverting twice restores the screen.

#include <memory>

#include "platform/gdi/screen_backend.h"

namespace user {

class COverlayScreen final : public gdi::ScreenBackend {
public:
    enum class Reading {
        screen,         // read the screen's pixels where the server allows it
        blackAndWhite,  // never read them
    };
    // Null when the display cannot be opened. displayName null: $DISPLAY.
    static std::shared_ptr<COverlayScreen> Open(const char* displayName, Reading reading = Reading::screen);
    ~COverlayScreen() override;

    RECT Bounds() const override;
    bool InvertPattern(const RECT* rects, size_t count, const BYTE rows[8]) override;

    // How many windows show the drawing now; 0 when nothing is drawn.
    size_t WindowCount() const;

    struct State;  // Xlib state, kept out of this header

private:
    explicit COverlayScreen(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

}  // namespace user
