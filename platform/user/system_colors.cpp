#include "platform/user/system_colors.h"

#include <QApplication>
#include <QPalette>

#include <map>

#include "platform/gdi/brushes.h"
#include "platform/gdi/handles.h"

namespace user {
namespace {

bool RoleOf(int index, QPalette::ColorRole* role) {
    switch (index) {
        case COLOR_WINDOW: *role = QPalette::Base; return true;
        case COLOR_WINDOWTEXT: *role = QPalette::WindowText; return true;
        case COLOR_HIGHLIGHT: *role = QPalette::Highlight; return true;
        case COLOR_HIGHLIGHTTEXT: *role = QPalette::HighlightedText; return true;
        case COLOR_BTNFACE: *role = QPalette::Window; return true;
        case COLOR_GRAYTEXT: *role = QPalette::PlaceholderText; return true;
        case COLOR_BTNTEXT: *role = QPalette::ButtonText; return true;
        default: return false;
    }
}

}  // namespace

gdi::COLORREF GetSysColor(int index) {
    QPalette::ColorRole role;
    if (!RoleOf(index, &role)) return 0;
    const QPalette palette = QApplication::instance() ? QApplication::palette() : QPalette();
    const QColor color = palette.color(QPalette::Active, role);
    return gdi::RGB(static_cast<BYTE>(color.red()), static_cast<BYTE>(color.green()), static_cast<BYTE>(color.blue()));
}

gdi::HBRUSH GetSysColorBrush(int index) {
    QPalette::ColorRole role;
    if (!RoleOf(index, &role)) return nullptr;
    static std::map<int, gdi::HBRUSH> brushes;
    gdi::HBRUSH& brush = brushes[index];
    const gdi::COLORREF color = GetSysColor(index);
    gdi::LOGBRUSH current{};
    if (!brush || gdi::GetObjectA(brush, sizeof current, &current) == 0 || current.lbColor != color) {
        // Made again when it was deleted or the palette changed; a brush
        // that changed colour is left for whoever still holds it.
        brush = gdi::CreateSolidBrush(color);
    }
    return brush;
}

}  // namespace user
