#include "platform/user/dropped_files.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/user/internal/dropped_file_list.h"
#include "platform/user/internal/handle_table.h"
#include "platform/user/internal/window_registry.h"
#include "platform/user/messages.h"

namespace user {
namespace {

constexpr unsigned dropTag = 0x44;

struct DropRecord {
    std::vector<std::string> files;
};

internal::CHandleTable<HDROP, DropRecord>& DropTable() {
    static internal::CHandleTable<HDROP, DropRecord> table(dropTag);
    return table;
}

}  // namespace

void DragAcceptFiles(HWND window, BOOL accept) {
    internal::WindowRecord* record = internal::FindWindowRecord(window);
    if (!record) return;
    record->exStyle = accept ? (record->exStyle | WS_EX_ACCEPTFILES) : (record->exStyle & ~WS_EX_ACCEPTFILES);
    if (record->widget) record->widget->setAcceptDrops(accept != FALSE);
}

UINT DragQueryFileA(HDROP drop, UINT file, LPSTR buffer, UINT size) {
    const DropRecord* record = DropTable().Find(drop);
    if (!record) return 0;
    if (file == 0xFFFFFFFF) return static_cast<UINT>(record->files.size());
    if (file >= record->files.size()) return 0;
    const std::string& path = record->files[file];
    if (!buffer) return static_cast<UINT>(path.size());
    if (size == 0) return 0;
    const std::size_t copied = std::min<std::size_t>(path.size(), size - 1);
    std::memcpy(buffer, path.data(), copied);
    buffer[copied] = '\0';
    return static_cast<UINT>(copied);
}

void DragFinish(HDROP drop) { DropTable().Remove(drop); }

namespace internal {

bool AcceptsDroppedFiles(HWND window) {
    const WindowRecord* record = FindWindowRecord(window);
    if (!record || record->destroying || !(record->exStyle & WS_EX_ACCEPTFILES)) return false;
    // A window disabled by a modal dialog takes nothing meanwhile.
    const WindowRecord* topLevel = FindWindowRecord(TopLevelOf(window));
    return !(record->style & WS_DISABLED) && !(topLevel && (topLevel->style & WS_DISABLED));
}

bool PostDroppedFiles(HWND window, std::vector<std::string> files) {
    if (files.empty() || !AcceptsDroppedFiles(window)) return false;
    auto record = std::make_shared<DropRecord>();
    record->files = std::move(files);
    const HDROP drop = DropTable().Add(record);
    if (!drop) return false;
    // Posted, as the desktop posts it: the drop ends for the file manager
    // before the files are opened.
    if (!PostMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0)) {
        DropTable().Remove(drop);
        return false;
    }
    return true;
}

}  // namespace internal
}  // namespace user
