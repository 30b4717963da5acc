#include "platform/user/icons.h"

#include <QApplication>
#include <QPixmap>
#include <QStyle>

#include <cstring>
#include <map>
#include <utility>

#include "platform/gdi/alpha_blend.h"
#include "platform/gdi/bitmaps.h"
#include "platform/gdi/handles.h"
#include "platform/gdi/surfaces.h"
#include "platform/user/application.h"
#include "platform/user/system_metrics.h"
#include "platform/user/internal/handle_table.h"
#include "platform/user/internal/toolkit_image.h"
#include "platform/user/internal/toolkit_resources.h"

namespace user {
namespace internal {
namespace {

constexpr unsigned iconTag = 0x49;

struct IconRecord {
    QIcon picture;
};

CHandleTable<HICON, IconRecord>& IconTable() {
    static CHandleTable<HICON, IconRecord> table(iconTag);
    return table;
}

std::map<std::pair<bool, WORD>, HICON>& Loaded() {
    static std::map<std::pair<bool, WORD>, HICON> loaded;
    return loaded;
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
    const IconRecord* record = IconTable().Find(icon);
    return record ? record->picture : QIcon();
}

void ForgetIcons() {
    for (HICON icon : IconTable().Handles()) IconTable().Remove(icon);
    Loaded().clear();
}

}  // namespace internal

HICON LoadIconA(HINSTANCE instance, LPCSTR name) {
    if (!IsApplicationRunning() || !name || !IS_INTRESOURCE(name)) return nullptr;
    const bool fromProgram = instance != nullptr;
    if (fromProgram && instance != GetModuleHandleA(nullptr)) return nullptr;
    const WORD id = static_cast<WORD>(reinterpret_cast<std::uintptr_t>(name));
    const auto key = std::make_pair(fromProgram, id);
    if (const auto found = internal::Loaded().find(key); found != internal::Loaded().end()) return found->second;

    auto record = std::make_shared<internal::IconRecord>();
    if (fromProgram) {
        const internal::IconData* data = internal::FindIconResource(id);
        if (!data) return nullptr;
        for (const internal::ImageData& image : data->images) {
            record->picture.addPixmap(QPixmap::fromImage(internal::ToolkitImage(image)));
        }
    } else {
        QStyle::StandardPixmap pixmap;
        if (!internal::SystemIcon(id, &pixmap)) return nullptr;
        record->picture = QApplication::style()->standardIcon(pixmap);
    }
    const HICON handle = internal::IconTable().Add(std::move(record));
    if (handle) internal::Loaded()[key] = handle;
    return handle;
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
