#include "platform/user/cursors.h"

#include <QPixmap>

#include <map>
#include <utility>

#include "platform/user/application.h"
#include "platform/user/internal/handle_table.h"
#include "platform/user/internal/toolkit_image.h"
#include "platform/user/internal/toolkit_resources.h"
#include "platform/user/internal/window_registry.h"
#include "platform/user/user_testing.h"

namespace user {
namespace internal {
namespace {

constexpr unsigned cursorTag = 0x43;

struct CursorRecord {
    QCursor shape;
};

CHandleTable<HCURSOR, CursorRecord>& CursorTable() {
    static CHandleTable<HCURSOR, CursorRecord> table(cursorTag);
    return table;
}

// Loaded shapes by (from the program, number): loading again shares them.
std::map<std::pair<bool, WORD>, HCURSOR>& Loaded() {
    static std::map<std::pair<bool, WORD>, HCURSOR> loaded;
    return loaded;
}

bool SystemShape(WORD id, Qt::CursorShape* shape) {
    switch (id) {
        case IDC_ARROW_ID: *shape = Qt::ArrowCursor; return true;
        case IDC_IBEAM_ID: *shape = Qt::IBeamCursor; return true;
        case IDC_WAIT_ID: *shape = Qt::WaitCursor; return true;
        case IDC_CROSS_ID: *shape = Qt::CrossCursor; return true;
        case IDC_SIZENWSE_ID: *shape = Qt::SizeFDiagCursor; return true;
        case IDC_SIZENESW_ID: *shape = Qt::SizeBDiagCursor; return true;
        case IDC_SIZEWE_ID: *shape = Qt::SizeHorCursor; return true;
        case IDC_SIZENS_ID: *shape = Qt::SizeVerCursor; return true;
        case IDC_SIZEALL_ID: *shape = Qt::SizeAllCursor; return true;
        case IDC_NO_ID: *shape = Qt::ForbiddenCursor; return true;
        case IDC_HAND_ID: *shape = Qt::PointingHandCursor; return true;
        case IDC_APPSTARTING_ID: *shape = Qt::BusyCursor; return true;
        default: return false;
    }
}

QWidget* ShapeTarget() {
    const ServiceState& state = State();
    for (HWND window : {state.capture, state.pointerWindow}) {
        if (const WindowRecord* record = FindWindowRecord(window); record && record->widget) return record->widget;
    }
    return nullptr;
}

QCursor CurrentShape() {
    QCursor shape(Qt::BlankCursor);
    CursorOf(State().cursor, &shape);
    return shape;
}

}  // namespace

bool CursorOf(HCURSOR cursor, QCursor* shape) {
    const CursorRecord* record = CursorTable().Find(cursor);
    if (!record) return false;
    *shape = record->shape;
    return true;
}

void ForgetCursors() {
    for (HCURSOR cursor : CursorTable().Handles()) CursorTable().Remove(cursor);
    Loaded().clear();
    State().cursor = nullptr;
    State().cursorSet = false;
}

void ApplyCurrentCursor(QWidget* widget) {
    if (widget && State().cursorSet) widget->setCursor(CurrentShape());
}

}  // namespace internal

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name) {
    if (!IsApplicationRunning() || !name || !IS_INTRESOURCE(name)) return nullptr;
    const bool fromProgram = instance != nullptr;
    if (fromProgram && instance != GetModuleHandleA(nullptr)) return nullptr;
    const WORD id = static_cast<WORD>(reinterpret_cast<std::uintptr_t>(name));
    const auto key = std::make_pair(fromProgram, id);
    if (const auto found = internal::Loaded().find(key); found != internal::Loaded().end()) return found->second;

    auto record = std::make_shared<internal::CursorRecord>();
    if (fromProgram) {
        const internal::CursorData* data = internal::FindCursorResource(id);
        if (!data) return nullptr;
        const QImage image = internal::ToolkitImage(data->image);
        if (image.isNull()) return nullptr;
        record->shape = QCursor(QPixmap::fromImage(image), data->hotSpot.x, data->hotSpot.y);
    } else {
        Qt::CursorShape shape;
        if (!internal::SystemShape(id, &shape)) return nullptr;
        record->shape = QCursor(shape);
    }
    const HCURSOR handle = internal::CursorTable().Add(std::move(record));
    if (handle) internal::Loaded()[key] = handle;
    return handle;
}

HCURSOR SetCursor(HCURSOR cursor) {
    internal::ServiceState& state = internal::State();
    const HCURSOR previous = state.cursor;
    QCursor shape(Qt::BlankCursor);
    if (cursor && !internal::CursorOf(cursor, &shape)) return previous;
    state.cursor = cursor;
    state.cursorSet = true;
    if (QWidget* target = internal::ShapeTarget()) target->setCursor(shape);
    return previous;
}

HCURSOR GetCursor() { return internal::State().cursor; }

}  // namespace user
