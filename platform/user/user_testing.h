#pragma once
// What the windowing service's tests arrange and read back; the system's
// code never includes this header. The functions are part of
// pelmora_platform_user.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/user/records.h"
#include "platform/user/screen_surface.h"

namespace user {

// Hooks.

// While set, every address or document of that scheme ("https", "mailto",
// "file", ...) that the desktop would open reaches capture instead, as the
// address's text (UTF-8), so that no program starts. Setting a scheme again
// replaces its capture; a null capture ends it. Needs the service running.
void CaptureShellOpen(const std::string& scheme, std::function<void(const std::string& address)> capture);

// Keeps serving messages for about that long.
void ProcessMessagesFor(int milliseconds);

// What the service holds, read back.

// What a registered picture resource holds.
struct PictureInfo {
    LONG width = 0;
    LONG height = 0;
    int bitsPerPixel = 0;
    POINT hotSpot{0, 0};
};
// An icon's sizes in registration order; empty when there is no such icon.
std::vector<PictureInfo> DescribeIconResource(WORD id);
bool DescribeCursorResource(WORD id, PictureInfo* info);

// A new DIB section holding bitmap resource name (24 bits per pixel when
// it was drawn in 24, else 32), for the caller to delete; null when absent.
gdi::HBITMAP LoadBitmapA(HINSTANCE instance, LPCSTR name);

// The command of the item at that position; -1 for pop-ups and missing
// items, 0 for separators.
UINT GetMenuItemID(HMENU menu, int position);
// Copies the item's text; the length, 0 when there is no such item.
int GetMenuStringA(HMENU menu, UINT item, LPSTR buffer, int size, UINT flags);

// The shape SetCursor set last.
HCURSOR GetCursor();

// The name of a window's class (as registered, built-in ones included);
// the length copied, 0 for a dead window.
int GetClassNameA(HWND window, LPSTR buffer, int size);

// Dialog units to pixels with the dialog's font (rounded to the nearest
// pixel). FALSE for a window that is not a dialog.
BOOL MapDialogRect(HWND dialog, RECT* rect);

// Number of windows alive, child windows included, so that tests can prove
// windows go.
long LiveWindowCount();

// The whole-screen back-end InstallScreenSurface chose.
ScreenSurfaceKind CurrentScreenSurface();

// What the help viewer shows.
struct HelpViewerPicture {
    std::string source;  // address as resolved against the page
    bool shown = false;  // found in the help file and decoded
};
struct HelpViewerPage {
    std::string topic;  // "/page.htm"
    std::string title;  // the page's own title (UTF-8)
    std::string text;   // the page as plain text (UTF-8)
    std::vector<HelpViewerPicture> pictures;
};
std::optional<HelpViewerPage> DescribeHelpViewer(HWND viewer);

// Resources made from pixels instead of picture files.

// A picture: width x height pixels, top row first, 0xAARRGGBB with straight
// alpha. bitsPerPixel records the depth it was drawn in.
struct ImageResource {
    LONG width = 0;
    LONG height = 0;
    int bitsPerPixel = 32;
    const std::uint32_t* argb = nullptr;
};

struct CursorResource {
    ImageResource image;
    POINT hotSpot{0, 0};
};

// The sizes of one icon.
struct IconResource {
    std::span<const ImageResource> images;
};

// As RegisterCursorFile and RegisterIconFile: false, registering nothing,
// unless every picture is 1 to 256 pixels a side with its pixels given (and
// a cursor's hot spot lies in it).
[[nodiscard]] bool RegisterCursorResource(WORD id, const CursorResource& cursor);
[[nodiscard]] bool RegisterIconResource(WORD id, const IconResource& icon);

}  // namespace user
