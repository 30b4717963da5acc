#include "tests/photo/save_dialog_answer.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>

#include <chrono>
#include <functional>

#include "platform/user/user.h"
#include "tests/support/gui_pump.h"
#include "tests/support/x_session.h"

namespace phototest {
namespace {

QFileDialog* VisibleFileDialog() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<QFileDialog*>(widget); dialog && dialog->isVisible()) return dialog;
    }
    return nullptr;
}

QMessageBox* VisibleBox() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible()) return box;
    }
    return nullptr;
}

enum class Stage { waitingForDialog, typing, confirming, answered, cancelling };

struct Answerer {
    std::string name;
    bool replace = true;
    user::HWND owner = nullptr;
    std::shared_ptr<SaveDialogSeen> seen;
    Stage stage = Stage::waitingForDialog;
    bool sawDialog = false;
    std::chrono::steady_clock::time_point limit;
    testsupport::CXSession* x = nullptr;
};

void Poll(std::shared_ptr<Answerer> a);

void Step(const std::shared_ptr<Answerer>& a) {
    SaveDialogSeen& seen = *a->seen;
    QFileDialog* dialog = VisibleFileDialog();
    QMessageBox* box = VisibleBox();
    if (a->sawDialog && !dialog && !box) {
        seen.finished = true;
        return;
    }
    if (std::chrono::steady_clock::now() > a->limit) {
        seen.timedOut = true;
        if (box) box->reject();
        if (dialog) dialog->reject();
        return Poll(a);
    }
    if (box) {
        if (!box->isActiveWindow()) return Poll(a);
        const bool question = box->text().contains(QStringLiteral("already exists"));
        if (!question) {
            seen.otherBoxes.push_back(box->text().toStdString());
            box->reject();
            return Poll(a);
        }
        if (a->stage != Stage::confirming) return Poll(a);
        seen.askedToReplace = true;
        a->stage = a->replace ? Stage::answered : Stage::cancelling;
        a->x->TapKey(a->replace ? "y" : "Return");
        return Poll(a);
    }
    if (!dialog) return Poll(a);
    a->sawDialog = true;
    // Without a window manager nobody hands the activation back to the
    // dialog when a question closes.
    if (!dialog->isActiveWindow()) {
        dialog->activateWindow();
        return Poll(a);
    }
    auto* field = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (!field || QApplication::focusWidget() != field) return Poll(a);
    switch (a->stage) {
        case Stage::waitingForDialog:
            seen.shown = true;
            for (const QString& filter : dialog->nameFilters()) seen.filters.push_back(filter.toStdString());
            seen.selectedFilter = dialog->selectedNameFilter().toStdString();
            seen.defaultSuffix = dialog->defaultSuffix().toStdString();
            seen.nameField = field->text().toStdString();
            seen.confirmsOverwrite = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
            seen.ownerEnabled = user::IsWindowEnabled(a->owner) != FALSE;
            // The completer's pop-up would take the keys typed after it.
            field->setCompleter(nullptr);
            if (a->name.empty()) {
                a->stage = Stage::answered;
                a->x->TapKey("Escape");
            } else {
                a->stage = Stage::typing;
                a->x->TypeText(a->name);
            }
            break;
        case Stage::typing:
            if (field->text().toStdString() == a->name) {
                a->stage = Stage::confirming;
                a->x->TapKey("Return");
            }
            break;
        case Stage::cancelling:
            a->stage = Stage::answered;
            a->x->TapKey("Escape");
            break;
        default: break;
    }
    Poll(a);
}

void Poll(std::shared_ptr<Answerer> a) {
    testsupport::RunSoon([a] { Step(a); }, std::chrono::milliseconds(10));
}

}  // namespace

std::shared_ptr<SaveDialogSeen> AnswerSaveDialog(const std::string& name, user::HWND owner, bool replace) {
    // One session for the GUI thread's typing, kept for the program's life.
    static testsupport::CXSession* const session = new testsupport::CXSession;
    auto a = std::make_shared<Answerer>();
    a->name = name;
    a->replace = replace;
    a->owner = owner;
    a->seen = std::make_shared<SaveDialogSeen>();
    a->limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    a->x = session;
    Poll(a);
    return a->seen;
}

}  // namespace phototest
