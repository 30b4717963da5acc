#include "platform/user/internal/window_registry.h"

#include <QVariant>

#include <algorithm>

namespace user::internal {
namespace {

constexpr unsigned windowTag = 0x57;
constexpr const char* handleProperty = "pelmoraWindow";

}  // namespace

WindowTable& Windows() {
    static WindowTable table(windowTag);
    return table;
}

WindowRecord* FindWindowRecord(HWND window) { return Windows().Find(window); }

std::shared_ptr<WindowRecord> LockWindowRecord(HWND window) { return Windows().Lock(window); }

HWND WindowOfWidget(const QObject* widget) {
    if (!widget) return nullptr;
    const QVariant value = widget->property(handleProperty);
    if (!value.isValid()) return nullptr;
    HWND window = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(value.toULongLong()));
    return FindWindowRecord(window) ? window : nullptr;
}

void BindWidget(QWidget* widget, HWND window) {
    widget->setProperty(handleProperty, QVariant::fromValue<qulonglong>(reinterpret_cast<std::uintptr_t>(window)));
}

bool IsChildStyle(const WindowRecord& record) { return (record.style & WS_CHILD) != 0; }

std::vector<HWND> OwnedWindows(HWND owner) {
    std::vector<std::pair<std::uint64_t, HWND>> owned;
    for (HWND window : Windows().Handles()) {
        const WindowRecord* record = FindWindowRecord(window);
        if (record && record->owner == owner && owner && !IsChildStyle(*record)) {
            owned.emplace_back(record->serial, window);
        }
    }
    std::sort(owned.begin(), owned.end());
    std::vector<HWND> result;
    for (const auto& entry : owned) result.push_back(entry.second);
    return result;
}

HWND TopLevelOf(HWND window) {
    const WindowRecord* record = FindWindowRecord(window);
    while (record && IsChildStyle(*record) && record->parent) {
        window = record->parent;
        record = FindWindowRecord(window);
    }
    return record ? window : nullptr;
}

POINT ClientOrigin(const WindowRecord& record) {
    const QWidget* widget = record.widget;
    if (!widget) return {0, 0};
    const QPoint origin = widget->isWindow() ? widget->geometry().topLeft() : widget->mapToGlobal(QPoint(0, 0));
    return {origin.x(), origin.y()};
}

ServiceState& State() {
    static ServiceState state;
    return state;
}

LPARAM PackPoint(int x, int y) { return MAKELPARAM(x, y); }

}  // namespace user::internal
