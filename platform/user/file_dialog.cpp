#include "platform/user/file_dialog.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QWindow>

#include "platform/user/activation.h"
#include "platform/user/application.h"
#include "platform/user/internal/file_names.h"
#include "platform/user/internal/modal_owner.h"
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
        QFileDialog dialog;
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
