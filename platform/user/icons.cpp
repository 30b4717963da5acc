#include "platform/user/icons.h"

#include <QApplication>
#include <QPixmap>
#include <QStyle>

#include <cstring>

#include "platform/gdi/alpha_blend.h"
#include "platform/gdi/bitmaps.h"
#include "platform/gdi/handles.h"
#include "platform/gdi/surfaces.h"
#include "platform/user/application.h"
#include "platform/user/system_metrics.h"
#include "platform/user/internal/resource_pictures.h"
#include "platform/user/internal/toolkit_image.h"
#include "platform/user/internal/toolkit_resources.h"

namespace user {
namespace internal {
namespace {

constexpr unsigned iconTag = 0x49;

struct IconRecord {
    QIcon picture;
};

CResourcePictures<HICON, IconRecord>& Icons() {
    static CResourcePictures<HICON, IconRecord> icons(iconTag);
    return icons;
}

bool SystemIcon(WORD id, QStyle::StandardPixmap* pixmap) {
    switch (id) {
        case IDI_APPLICATION_ID: *pixmap = QStyle::SP_DesktopIcon; return true;
        case IDI_HAND_ID: *pixmap = QStyle::SP_MessageBoxCritical; return true;
        case IDI_QUESTION_ID: *pixmap = QStyle::SP_MessageBoxQuestion; return true;
        case IDI_EXCLAMATION_ID: *pixmap = QStyle::SP_MessageBoxWarning; return true;
        case IDI_ASTERISK_ID: *pixmap = QStyle::SP_MessageBoxInformation; return true;
        default: return false;
    }
}

}  // namespace

QIcon IconOf(HICON icon) {
    const IconRecord* record = Icons().Find(icon);
    return record ? record->picture : QIcon();
}

void ForgetIcons() { Icons().Forget(); }

}  // namespace internal

HICON LoadIconA(HINSTANCE instance, LPCSTR name) {
    return internal::Icons().Load(instance, name, [](bool fromProgram, WORD id, internal::IconRecord* record) {
        if (fromProgram) {
            const internal::IconData* data = internal::FindIconResource(id);
            if (!data) return false;
            for (const internal::ImageData& image : data->images) {
                record->picture.addPixmap(QPixmap::fromImage(internal::ToolkitImage(image)));
            }
            return true;
        }
        QStyle::StandardPixmap pixmap;
        if (!internal::SystemIcon(id, &pixmap)) return false;
        record->picture = QApplication::style()->standardIcon(pixmap);
        return true;
    });
}

}  // namespace user

namespace user {

BOOL DrawIcon(gdi::HDC dc, int x, int y, HICON icon) {
    const QIcon picture = internal::IconOf(icon);
    if (picture.isNull() || gdi::GetObjectType(dc) == 0) return FALSE;
    const int cx = GetSystemMetrics(SM_CXICON);
    const int cy = GetSystemMetrics(SM_CYICON);
    // The icon's pixels, premultiplied, in a DIB section of their own.
    const QImage image =
        picture.pixmap(cx, cy).toImage().scaled(cx, cy).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    gdi::BITMAPINFO info{};
    info.bmiHeader = {sizeof(gdi::BITMAPINFOHEADER), cx, -cy, 1, 32, gdi::BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    const gdi::HBITMAP bitmap = gdi::CreateDIBSection(nullptr, &info, gdi::DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap) return FALSE;
    for (int row = 0; row < cy; ++row) {
        std::memcpy(static_cast<BYTE*>(bits) + static_cast<std::size_t>(row) * cx * 4, image.constScanLine(row),
                    static_cast<std::size_t>(cx) * 4);
    }
    const gdi::HDC source = gdi::CreateCompatibleDC(nullptr);
    BOOL drawn = FALSE;
    if (source) {
        const gdi::HGDIOBJ previous = gdi::SelectObject(source, bitmap);
        drawn = gdi::AlphaBlend(dc, x, y, cx, cy, source, 0, 0, cx, cy,
                                gdi::BLENDFUNCTION{gdi::AC_SRC_OVER, 0, 255, gdi::AC_SRC_ALPHA});
        gdi::SelectObject(source, previous);
        gdi::DeleteDC(source);
    }
    gdi::DeleteObject(bitmap);
    return drawn;
}

}  // namespace user
