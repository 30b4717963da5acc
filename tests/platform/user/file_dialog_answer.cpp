#include "tests/platform/user/file_dialog_answer.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>

#include <chrono>
#include <functional>

#include "tests/support/gui_pump.h"

namespace usertest {

std::shared_ptr<bool> AnswerNextFileDialog(const std::string& path) {
    auto answered = std::make_shared<bool>(false);
    auto poll = std::make_shared<std::function<void()>>();
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    *poll = [answered, poll, path, limit] {
        QFileDialog* dialog = nullptr;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* candidate = qobject_cast<QFileDialog*>(widget); candidate && candidate->isVisible()) {
                dialog = candidate;
            }
        }
        if (!dialog) {
            if (std::chrono::steady_clock::now() < limit)
                testsupport::RunSoon(*poll, std::chrono::milliseconds(10));
            else
                *poll = nullptr;
            return;
        }
        *answered = true;
        if (path.empty()) {
            dialog->reject();
        } else {
            // The name goes into the field as typing would put it there (the
            // toolkit's selectFile leaves a focused field as it is), and the
            // dialog checks it as its Open button does.
            auto* field = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            if (!field) {
                ADD_FAILURE() << "the file dialog has a name field";
                dialog->reject();
            } else {
                field->setText(QFile::decodeName(path.c_str()));
                static_cast<QDialog*>(dialog)->accept();
            }
        }
        *poll = nullptr;  // ends the cycle between the function and itself
    };
    testsupport::RunSoon(*poll);
    return answered;
}

}  // namespace usertest
