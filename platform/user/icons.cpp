#include "platform/user/icons.h"

#include <QApplication>
#include <QPixmap>
#include <QStyle>

#include <map>
#include <utility>

#include "platform/user/application.h"
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
