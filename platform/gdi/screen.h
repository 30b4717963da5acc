#pragma once
// The whole-screen drawing surface and the back-end it draws on.

#include <cstddef>
#include <memory>

#include "platform/gdi/memory_screen.h"
#include "platform/gdi/records.h"
#include "platform/gdi/screen_backend.h"
#include "platform/gdi/x11_root_screen.h"

namespace gdi {

// Installs the back-end later GetDC(nullptr) calls draw on; null: they
// fail. Surfaces already made keep the back-end they were made on.
void SetScreenBackend(std::shared_ptr<ScreenBackend> backend);
std::shared_ptr<ScreenBackend> CurrentScreenBackend();

// A surface in screen coordinates over every window (an OBJ_DC); null when
// no back-end is installed. It draws PatBlt with PATINVERT (pattern or
// solid brushes whose colours are black or white) and DSTINVERT.
[[nodiscard]] HDC GetDC(std::nullptr_t window);
// Frees a surface from GetDC(nullptr); 1 on success, 0 for any other handle.
int ReleaseDC(std::nullptr_t window, HDC dc);

}  // namespace gdi
