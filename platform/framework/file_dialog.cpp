#include "platform/framework/file_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWindow>

#include "platform/user/activation.h"
#include "platform/user/application.h"
#include "platform/user/internal/file_names.h"
#include "platform/framework/internal/modal_owner.h"
#include "platform/user/internal/pointer_move.h"
#include "platform/user/internal/window_registry.h"
#include "platform/user/capture.h"
#include "platform/user/message_loop.h"
#include "platform/user/window_management.h"

namespace user {
namespace {

// The toolkit's filter for a pair: the description, with the patterns in
// parentheses where it does not end in them already.
QString ToolkitFilter(const CFileDialog::Filter& filter) {
    const QString description = internal::FromAnsi(filter.description);
    QString patterns = internal::FromAnsi(filter.patterns);
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    if (description.endsWith(QLatin1Char('(') + patterns + QLatin1Char(')'))) return description;
    return description + QStringLiteral(" (") + patterns + QLatin1Char(')');
}

void Centre(QWidget* dialog, HWND owner) {
    RECT centreOn{};
    RECT workArea{};
    internal::CentringFrame(nullptr, owner, &centreOn, &workArea);
    const QRect frame = dialog->frameGeometry();
    const POINT at = internal::CentredPosition(centreOn, SIZE{frame.width(), frame.height()}, workArea);
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

}  // namespace

CFileDialog::CFileDialog(BOOL openFileDialog, LPCSTR defaultExtension, LPCSTR fileName, DWORD flags, LPCSTR filter,
                         CWnd* parent)
    : open_(openFileDialog),
      defaultExtension_(defaultExtension ? defaultExtension : ""),
      initialName_(fileName ? fileName : ""),
      flags_(flags | OFN_EXPLORER | OFN_ENABLEHOOK),
      parent_(parent) {
    if (filter) {
        for (const internal::FilterPair& pair : internal::SplitFilter(filter)) {
            filters_.push_back(Filter{pair.description, pair.patterns});
        }
    }
}

CFileDialog::~CFileDialog() = default;

std::string CFileDialog::GetFileName() const {
    const std::size_t slash = path_.rfind('/');
    return slash == std::string::npos ? path_ : path_.substr(slash + 1);
}

std::string CFileDialog::GetFileExt() const {
    const std::string name = GetFileName();
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

INT_PTR CFileDialog::DoModal() {
    path_.clear();
    if (!IsApplicationRunning()) return IDCANCEL;
    // Whatever the program was doing with the pointer ends here.
    if (internal::PointerMoveActive()) internal::EndPointerMove();
    if (GetCapture()) ReleaseCapture();

    const HWND focus = GetFocus();
    HWND top = nullptr;
    const HWND owner = internal::GetSafeOwner(parent_ ? parent_->GetSafeHwnd() : nullptr, &top);
    const bool enableOwner = owner && IsWindowEnabled(owner);
    if (enableOwner) EnableWindow(owner, FALSE);

    INT_PTR result = IDCANCEL;
    {
        PatternFileDialog dialog;
        dialog.setOption(QFileDialog::DontUseNativeDialog, true);
        dialog.setAcceptMode(open_ ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
        dialog.setFileMode(open_ && (flags_ & OFN_FILEMUSTEXIST) ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, open_ || !(flags_ & OFN_OVERWRITEPROMPT));
        if (!defaultExtension_.empty()) dialog.setDefaultSuffix(internal::FromAnsi(defaultExtension_));
        QStringList nameFilters;
        for (const Filter& filter : filters_) nameFilters.append(ToolkitFilter(filter));
        if (!nameFilters.isEmpty()) {
            dialog.setNameFilters(nameFilters);
            dialog.selectNameFilter(nameFilters.front());
        }
        if (!initialName_.empty()) dialog.selectFile(internal::FromAnsi(initialName_));
        // Modal to its owner only, as every run of the framework.
        dialog.setWindowModality(Qt::NonModal);
        dialog.winId();
        if (const internal::WindowRecord* record = internal::FindWindowRecord(owner); record && record->widget) {
            record->widget->winId();
            dialog.windowHandle()->setTransientParent(record->widget->windowHandle());
        }

        CModalLoop loop;
        QObject::connect(&dialog, &QDialog::finished, [&loop](int code) { loop.End(code); });
        dialog.show();
        Centre(&dialog, owner);
        dialog.activateWindow();
        // The name field's text is selected, so that typing replaces it.
        if (auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
            name->setFocus();
            name->selectAll();
        }
        const int code = loop.Run();
        dialog.hide();
        const QStringList chosen = dialog.selectedFiles();
        if (code == QDialog::Accepted && chosen.size() == 1 && internal::FileSystemPath(chosen.front(), &path_)) {
            result = IDOK;
        } else {
            path_.clear();
        }
    }

    if (enableOwner && IsWindow(owner)) EnableWindow(owner, TRUE);
    if (owner && IsWindow(owner) && !GetActiveWindow()) SetActiveWindow(owner);
    if (top && IsWindow(top)) EnableWindow(top, TRUE);
    if (focus && IsWindow(focus)) SetFocus(focus);
    return result;
}

}  // namespace user
