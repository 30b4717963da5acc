#include "platform/user/common_dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWindow>

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/user/activation.h"
#include "platform/user/application.h"
#include "platform/user/capture.h"
#include "platform/user/centring.h"
#include "platform/user/internal/file_names.h"
#include "platform/user/internal/pointer_move.h"
#include "platform/user/internal/window_registry.h"
#include "platform/user/message_loop.h"
#include "platform/user/monitors.h"
#include "platform/user/window_management.h"

namespace user {
namespace {

DWORD lastError = 0;

BOOL Fail(DWORD error) {
    lastError = error;
    return FALSE;
}

// The toolkit's filter for a pair: the description, with the patterns in
// parentheses where it does not end in them already.
QString ToolkitFilter(const std::string& description, const std::string& patterns) {
    const QString shown = internal::FromAnsi(description);
    QString listed = internal::FromAnsi(patterns);
    listed.replace(QLatin1Char(';'), QLatin1Char(' '));
    if (shown.endsWith(QLatin1Char('(') + listed + QLatin1Char(')'))) return shown;
    return shown + QStringLiteral(" (") + listed + QLatin1Char(')');
}

// The pairs of a "description\0patterns\0...\0" list; a description
// without its patterns ends it too.
QStringList ToolkitFilters(LPCSTR list) {
    QStringList filters;
    for (const char* at = list; at && *at;) {
        const std::string description = at;
        at += description.size() + 1;
        if (!*at) break;
        const std::string patterns = at;
        at += patterns.size() + 1;
        filters.append(ToolkitFilter(description, patterns));
    }
    return filters;
}

// Over the owner, kept inside its monitor's work area; in the work area of
// the first owner's monitor when the owner is hidden or minimised.
void Centre(QWidget* dialog, HWND owner) {
    HWND first = owner;
    for (int depth = 0; first && GetWindow(first, GW_OWNER) && depth < 1000; ++depth)
        first = GetWindow(first, GW_OWNER);
    RECT centreOn{};
    RECT workArea{};
    CentringFrame(owner, first, &centreOn, &workArea);
    const QSize size = dialog->frameGeometry().size();
    const POINT at = CentredPosition(centreOn, SIZE{size.width(), size.height()}, workArea);
    dialog->move(at.x, at.y);
}

// A typed name with a wildcard in it is a pattern, never a file: the list
// shows what it matches and the dialog stays open, as the platform's own
// dialogs do (otherwise Save with the initial "*.jpg" writes a file of that
// name). A folder in front of the pattern is opened first. Choosing a file
// type afterwards replaces the pattern with that type's.
class PatternFileDialog : public QFileDialog {
public:
    void accept() override {
        if (!ApplyTypedPattern()) QFileDialog::accept();
    }

protected:
    // The toolkit makes its widgets once it knows it draws the dialog itself.
    void showEvent(QShowEvent* event) override {
        if (!nameField_ && (nameField_ = findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))) {
            nameField_->installEventFilter(this);
        }
        QFileDialog::showEvent(event);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        // Return in the name field: the Open button may be disabled for a
        // name that is no file, so the pattern is taken here.
        if (watched == nameField_ && event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if ((key == Qt::Key_Return || key == Qt::Key_Enter) && ApplyTypedPattern()) return true;
        }
        return QFileDialog::eventFilter(watched, event);
    }

private:
    static bool IsPattern(const QString& text) {
        return text.contains(QLatin1Char('*')) || text.contains(QLatin1Char('?'));
    }

    // True when the name field held a pattern, which has been applied.
    bool ApplyTypedPattern() {
        if (!nameField_) return false;
        const QString text = nameField_->text().trimmed();
        if (!IsPattern(text)) return false;
        const qsizetype slash = text.lastIndexOf(QLatin1Char('/'));
        const QString patterns = text.mid(slash + 1);
        if (slash >= 0) {
            const QString folder = text.left(slash + 1);
            // A wildcard in the folder part names no folder: nothing to do.
            if (IsPattern(folder)) return true;
            const QDir target(directory().absoluteFilePath(folder));
            if (!target.exists()) return true;
            setDirectory(target.absolutePath());
        }
        if (auto* model = findChild<QFileSystemModel*>(QStringLiteral("qt_filesystem_model"))) {
            QStringList filters;
            for (const QString& pattern : patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
                if (!pattern.trimmed().isEmpty()) filters.append(pattern.trimmed());
            }
            model->setNameFilters(filters);
        }
        nameField_->setText(patterns);
        nameField_->selectAll();
        return true;
    }

    QLineEdit* nameField_ = nullptr;
};

struct Choice {
    bool made = false;
    std::string path;  // the file system's bytes
    DWORD filterIndex = 0;
};

// Shows the dialog and waits in a nested loop until it is closed.
Choice Ask(const OPENFILENAMEA& ofn, bool open) {
    PatternFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(open && (ofn.Flags & OFN_FILEMUSTEXIST) ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, open || !(ofn.Flags & OFN_OVERWRITEPROMPT));
    if (ofn.lpstrTitle) dialog.setWindowTitle(internal::FromAnsi(ofn.lpstrTitle));
    if (ofn.lpstrInitialDir && *ofn.lpstrInitialDir) dialog.setDirectory(internal::FromAnsi(ofn.lpstrInitialDir));
    if (ofn.lpstrDefExt && *ofn.lpstrDefExt) dialog.setDefaultSuffix(internal::FromAnsi(ofn.lpstrDefExt));
    const QStringList filters = ToolkitFilters(ofn.lpstrFilter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        const DWORD index = ofn.nFilterIndex == 0 ? 1 : ofn.nFilterIndex;
        dialog.selectNameFilter(filters[static_cast<qsizetype>(std::min<DWORD>(index, filters.size()) - 1)]);
    }
    const std::string initialName =
        ofn.lpstrFile ? std::string(ofn.lpstrFile, strnlen(ofn.lpstrFile, ofn.nMaxFile)) : std::string();
    if (!initialName.empty()) dialog.selectFile(internal::FromAnsi(initialName));
    // Modal to its owner only: disabling the owner keeps every other
    // window of the program usable, which the toolkit's modality would not.
    dialog.setWindowModality(Qt::NonModal);
    dialog.winId();
    if (const internal::WindowRecord* record = internal::FindWindowRecord(ofn.hwndOwner); record && record->widget) {
        record->widget->winId();
        dialog.windowHandle()->setTransientParent(record->widget->windowHandle());
    }

    CModalLoop loop;
    QObject::connect(&dialog, &QDialog::finished, [&loop](int code) { loop.End(code); });
    dialog.show();
    Centre(&dialog, ofn.hwndOwner);
    dialog.activateWindow();
    // The name field's text is selected, so that typing replaces it.
    if (auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
        name->setFocus();
        name->selectAll();
    }
    const int code = loop.Run();
    dialog.hide();
    Choice choice;
    const QStringList chosen = dialog.selectedFiles();
    choice.made =
        code == QDialog::Accepted && chosen.size() == 1 && internal::FileSystemPath(chosen.front(), &choice.path);
    choice.filterIndex = static_cast<DWORD>(filters.indexOf(dialog.selectedNameFilter()) + 1);
    return choice;
}

// Writes the path and where its name and extension start.
BOOL WriteChoice(OPENFILENAMEA* ofn, const Choice& choice) {
    const std::string& path = choice.path;
    if (!ofn->lpstrFile || path.size() >= ofn->nMaxFile) {
        if (ofn->lpstrFile && ofn->nMaxFile >= sizeof(WORD)) {
            const WORD needed = static_cast<WORD>(std::min<std::size_t>(path.size() + 1, 0xFFFF));
            std::memcpy(ofn->lpstrFile, &needed, sizeof needed);
        }
        return Fail(FNERR_BUFFERTOOSMALL);
    }
    std::memcpy(ofn->lpstrFile, path.c_str(), path.size() + 1);
    const std::size_t name = path.rfind('/') + 1;
    const std::size_t dot = path.rfind('.');
    const std::size_t extension = dot == std::string::npos || dot < name ? path.size()
                                  : dot + 1 == path.size()               ? 0
                                                                         : dot + 1;
    ofn->nFileOffset = static_cast<WORD>(std::min<std::size_t>(name, 0xFFFF));
    ofn->nFileExtension = static_cast<WORD>(std::min<std::size_t>(extension, 0xFFFF));
    if (choice.filterIndex) ofn->nFilterIndex = choice.filterIndex;
    if (ofn->lpstrFileTitle && ofn->nMaxFileTitle) {
        const std::size_t length = std::min<std::size_t>(path.size() - name, ofn->nMaxFileTitle - 1);
        std::memcpy(ofn->lpstrFileTitle, path.c_str() + name, length);
        ofn->lpstrFileTitle[length] = '\0';
    }
    lastError = 0;
    return TRUE;
}

BOOL RunFileDialog(OPENFILENAMEA* ofn, bool open) {
    if (!ofn || ofn->lStructSize != sizeof(OPENFILENAMEA)) return Fail(CDERR_STRUCTSIZE);
    if (!IsApplicationRunning()) return Fail(CDERR_INITIALIZATION);
    // Whatever the program was doing with the pointer ends here.
    if (internal::PointerMoveActive()) internal::EndPointerMove();
    if (GetCapture()) ReleaseCapture();
    const HWND owner = IsWindow(ofn->hwndOwner) ? ofn->hwndOwner : nullptr;
    const bool disabled = owner && EnableWindow(owner, FALSE) == FALSE;
    const Choice choice = Ask(*ofn, open);
    if (disabled && IsWindow(owner)) EnableWindow(owner, TRUE);
    if (owner && IsWindow(owner) && !GetActiveWindow()) SetActiveWindow(owner);
    if (!choice.made) return Fail(0);
    return WriteChoice(ofn, choice);
}

}  // namespace

BOOL GetOpenFileNameA(OPENFILENAMEA* ofn) { return RunFileDialog(ofn, true); }

BOOL GetSaveFileNameA(OPENFILENAMEA* ofn) { return RunFileDialog(ofn, false); }

DWORD CommDlgExtendedError() { return lastError; }

}  // namespace user
