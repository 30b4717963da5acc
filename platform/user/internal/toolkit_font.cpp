#include "platform/user/internal/toolkit_font.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QStringList>

#include <algorithm>

#include <cmath>

#include "platform/gdi/handles.h"

namespace user::internal {
namespace {

constexpr int systemFontPoints = 9;

bool Installed(const QString& face) {
    static const QStringList families = QFontDatabase::families();
    return families.contains(face, Qt::CaseInsensitive);
}

int PixelsOfPoints(int points) { return (points * logicalDpi + 36) / 72; }

}  // namespace

QFont ToolkitFont(const gdi::LOGFONTA& description) {
    const QString asked = QString::fromUtf8(description.lfFaceName);
    QFont font(asked.isEmpty() || !Installed(asked) ? QString::fromLatin1(uiFace) : asked);
    const LONG height = description.lfHeight;
    if (height < 0 && height != INT32_MIN) {
        font.setPixelSize(std::clamp<LONG>(-height, 1, 4096));
    } else if (height > 0) {
        // A cell height: the character height that gives this line height.
        const int cell = std::clamp<LONG>(height, 1, 4096);
        font.setPixelSize(cell);
        const int line = QFontMetrics(font).height();
        if (line > 0) font.setPixelSize(std::max(1, static_cast<int>(std::lround(double(cell) * cell / line))));
    } else {
        font.setPixelSize(PixelsOfPoints(systemFontPoints));
    }
    if (description.lfWeight > 0)
        font.setWeight(static_cast<QFont::Weight>(std::clamp<LONG>(description.lfWeight, 1, 1000)));
    font.setItalic(description.lfItalic != 0);
    font.setUnderline(description.lfUnderline != 0);
    font.setStrikeOut(description.lfStrikeOut != 0);
    return font;
}

QFont ToolkitFont(gdi::HFONT handle) {
    gdi::LOGFONTA description{};
    if (!handle || gdi::GetObjectA(handle, sizeof description, &description) != sizeof description) return SystemFont();
    return ToolkitFont(description);
}

QFont SystemFont() {
    QFont font(QString::fromLatin1(uiFace));
    font.setPixelSize(PixelsOfPoints(systemFontPoints));
    return font;
}

SIZE DialogBaseUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    const int letters =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return SIZE{std::max(1, (letters + 51) / 52), std::max(1, metrics.height())};
}

}  // namespace user::internal
