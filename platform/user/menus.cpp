#include "platform/user/menus.h"

#include <QAction>
#include <QEvent>
#include <QMenu>
#include <QMouseEvent>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/user/application.h"
#include "platform/user/capture.h"
#include "platform/user/internal/handle_table.h"
#include "platform/user/internal/menu_runner.h"
#include "platform/user/internal/pointer_move.h"
#include "platform/user/internal/resource_store.h"
#include "platform/user/internal/window_registry.h"
#include "platform/user/messages.h"
#include "platform/user/user_testing.h"

namespace user {
namespace internal {
namespace {

constexpr unsigned menuTag = 0x4D;
constexpr int maxMenuDepth = 16;

struct MenuItem {
    UINT flags = 0;
    UINT id = 0;
    std::string text;
    HMENU popup = nullptr;
};

struct MenuRecord {
    std::vector<MenuItem> items;
};

CHandleTable<HMENU, MenuRecord>& MenuTable() {
    static CHandleTable<HMENU, MenuRecord> table(menuTag);
    return table;
}

MenuRecord* FindMenu(HMENU menu) { return MenuTable().Find(menu); }

HMENU NewMenu() { return MenuTable().Add(std::make_shared<MenuRecord>()); }

HMENU BuildFromResource(const std::vector<MenuItemData>& items) {
    const HMENU menu = NewMenu();
    if (!menu) return nullptr;
    for (const MenuItemData& item : items) {
        UINT_PTR idOrPopup = item.id;
        if (item.flags & MF_POPUP) {
            const HMENU popup = BuildFromResource(item.popup);
            if (!popup) {
                DestroyMenu(menu);
                return nullptr;
            }
            idOrPopup = reinterpret_cast<UINT_PTR>(popup);
        }
        AppendMenuA(menu, item.flags, idOrPopup, item.text.c_str());
    }
    return menu;
}

// Finds an item by command (searching pop-ups too) or by position.
MenuItem* FindItem(HMENU menu, UINT item, UINT flags, int depth = 0) {
    MenuRecord* record = FindMenu(menu);
    if (!record || depth > maxMenuDepth) return nullptr;
    if (flags & MF_BYPOSITION) return item < record->items.size() ? &record->items[item] : nullptr;
    for (MenuItem& entry : record->items) {
        if (entry.popup) {
            if (MenuItem* inner = FindItem(entry.popup, item, flags, depth + 1)) return inner;
        } else if (!(entry.flags & MF_SEPARATOR) && entry.id == item) {
            return &entry;
        }
    }
    return nullptr;
}

// Keeps the right button from choosing items, as TPM_LEFTBUTTON asks.
class CLeftButtonOnly : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::MouseButtonRelease && event->type() != QEvent::MouseButtonPress) return false;
        return static_cast<QMouseEvent*>(event)->button() == Qt::RightButton;
    }
};

void Fill(QMenu* target, HMENU menu, QObject* filter, int depth) {
    const MenuRecord* record = FindMenu(menu);
    if (!record || depth > maxMenuDepth) return;
    if (filter) target->installEventFilter(filter);
    for (const MenuItem& item : record->items) {
        if (item.flags & MF_SEPARATOR) {
            target->addSeparator();
            continue;
        }
        const bool enabled = !(item.flags & (MF_GRAYED | MF_DISABLED));
        if (item.popup) {
            QMenu* popup = target->addMenu(QString::fromUtf8(item.text.c_str()));
            popup->setEnabled(enabled);
            Fill(popup, item.popup, filter, depth + 1);
            continue;
        }
        QAction* action = target->addAction(QString::fromUtf8(item.text.c_str()));
        action->setData(item.id);
        action->setEnabled(enabled);
        if (item.flags & MF_CHECKED) {
            action->setCheckable(true);
            action->setChecked(true);
        }
    }
}

}  // namespace

UINT RunMenu(HMENU menu, int x, int y, UINT flags) {
    if (!FindMenu(menu) || !IsApplicationRunning()) return 0;
    // The menu takes the pointer: a drag in progress loses the capture.
    if (PointerMoveActive()) EndPointerMove();
    if (GetCapture()) ReleaseCapture();
    QMenu popup;
    std::unique_ptr<CLeftButtonOnly> filter;
    if (!(flags & TPM_RIGHTBUTTON)) filter = std::make_unique<CLeftButtonOnly>();
    Fill(&popup, menu, filter.get(), 0);
    if (popup.isEmpty()) return 0;
    const QAction* chosen = popup.exec(QPoint(x, y));
    return chosen ? chosen->data().toUInt() : 0;
}

}  // namespace internal

HMENU CreatePopupMenu() { return internal::NewMenu(); }

BOOL DestroyMenu(HMENU menu) {
    const auto record = internal::MenuTable().Lock(menu);
    if (!record) return FALSE;
    internal::MenuTable().Remove(menu);
    for (const internal::MenuItem& item : record->items) {
        if (item.popup) DestroyMenu(item.popup);
    }
    return TRUE;
}

HMENU LoadMenuA(HINSTANCE instance, LPCSTR name) {
    if (instance != GetModuleHandleA(nullptr) || !name || !IS_INTRESOURCE(name)) return nullptr;
    const auto* items = internal::FindMenuResource(static_cast<WORD>(reinterpret_cast<std::uintptr_t>(name)));
    return items ? internal::BuildFromResource(*items) : nullptr;
}

HMENU GetSubMenu(HMENU menu, int position) {
    const internal::MenuRecord* record = internal::FindMenu(menu);
    if (!record || position < 0 || static_cast<std::size_t>(position) >= record->items.size()) return nullptr;
    return record->items[static_cast<std::size_t>(position)].popup;
}

BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR idOrPopup, LPCSTR text) {
    internal::MenuRecord* record = internal::FindMenu(menu);
    if (!record) return FALSE;
    internal::MenuItem item;
    if (flags & MF_SEPARATOR) {
        item.flags = MF_SEPARATOR;
    } else {
        item.flags = flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_POPUP);
        item.text = text ? text : "";
        if (flags & MF_POPUP) {
            const HMENU popup = reinterpret_cast<HMENU>(idOrPopup);
            if (!internal::FindMenu(popup) || popup == menu) return FALSE;
            item.popup = popup;
        } else {
            item.id = static_cast<UINT>(idOrPopup);
        }
    }
    record->items.push_back(std::move(item));
    return TRUE;
}

int EnableMenuItem(HMENU menu, UINT item, UINT flags) {
    internal::MenuItem* entry = internal::FindItem(menu, item, flags);
    if (!entry) return -1;
    const int previous = static_cast<int>(entry->flags & (MF_GRAYED | MF_DISABLED));
    entry->flags = (entry->flags & ~(MF_GRAYED | MF_DISABLED)) | (flags & (MF_GRAYED | MF_DISABLED));
    return previous;
}

int GetMenuItemCount(HMENU menu) {
    const internal::MenuRecord* record = internal::FindMenu(menu);
    return record ? static_cast<int>(record->items.size()) : -1;
}

UINT GetMenuItemID(HMENU menu, int position) {
    const internal::MenuRecord* record = internal::FindMenu(menu);
    if (!record || position < 0 || static_cast<std::size_t>(position) >= record->items.size()) {
        return static_cast<UINT>(-1);
    }
    const internal::MenuItem& item = record->items[static_cast<std::size_t>(position)];
    return item.popup ? static_cast<UINT>(-1) : item.id;
}

int GetMenuStringA(HMENU menu, UINT item, LPSTR buffer, int size, UINT flags) {
    const internal::MenuItem* entry = internal::FindItem(menu, item, flags);
    if (!entry) return 0;
    const int length = static_cast<int>(entry->text.size());
    if (!buffer || size <= 0) return length;
    const int copied = std::min(length, size - 1);
    std::memcpy(buffer, entry->text.data(), static_cast<std::size_t>(copied));
    buffer[copied] = '\0';
    return copied;
}

BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int /*reserved*/, HWND owner, const RECT* /*rect*/) {
    if (!internal::FindMenu(menu) || !internal::FindWindowRecord(owner)) return FALSE;
    const UINT chosen = internal::RunMenu(menu, x, y, flags);
    if (flags & TPM_RETURNCMD) return static_cast<BOOL>(chosen);
    if (chosen != 0 && !(flags & TPM_NONOTIFY)) PostMessageA(owner, WM_COMMAND, MAKEWPARAM(chosen, 0), 0);
    return TRUE;
}

}  // namespace user
