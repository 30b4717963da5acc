#include "platform/user/cursors.h"

#include <QPixmap>

#include "platform/user/application.h"
#include "platform/user/internal/resource_pictures.h"
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

CResourcePictures<HCURSOR, CursorRecord>& Cursors() {
    static CResourcePictures<HCURSOR, CursorRecord> cursors(cursorTag);
    return cursors;
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
    const CursorRecord* record = Cursors().Find(cursor);
    if (!record) return false;
    *shape = record->shape;
    return true;
}

void ForgetCursors() {
    Cursors().Forget();
    State().cursor = nullptr;
    State().cursorSet = false;
}

void ApplyCurrentCursor(QWidget* widget) {
    if (widget && State().cursorSet) widget->setCursor(CurrentShape());
}

}  // namespace internal

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name) {
    return internal::Cursors().Load(instance, name, [](bool fromProgram, WORD id, internal::CursorRecord* record) {
        if (fromProgram) {
            const internal::CursorData* data = internal::FindCursorResource(id);
            if (!data) return false;
            const QImage image = internal::ToolkitImage(data->image);
            if (image.isNull()) return false;
            record->shape = QCursor(QPixmap::fromImage(image), data->hotSpot.x, data->hotSpot.y);
            return true;
        }
        Qt::CursorShape shape;
        if (!internal::SystemShape(id, &shape)) return false;
        record->shape = QCursor(shape);
        return true;
    });
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
