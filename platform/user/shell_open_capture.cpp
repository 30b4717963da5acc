#include <QCoreApplication>
#include <QDesktopServices>
#include <QObject>
#include <QPointer>
#include <QUrl>

#include <map>

#include "platform/user/user_testing.h"

namespace user {
namespace {

// The desktop services call their handlers by slot name, so the catcher
// needs the toolkit's meta-object.
class CShellOpenCatcher : public QObject {
    Q_OBJECT

public:
    CShellOpenCatcher(std::function<void(const std::string&)> capture, QObject* parent)
        : QObject(parent), capture_(std::move(capture)) {}

public slots:
    void Open(const QUrl& url) { capture_(url.toString(QUrl::FullyEncoded).toStdString()); }

private:
    std::function<void(const std::string&)> capture_;
};

// Each catcher belongs to the toolkit's application object, so none
// outlives it.
std::map<std::string, QPointer<CShellOpenCatcher>>& Catchers() {
    static std::map<std::string, QPointer<CShellOpenCatcher>> catchers;
    return catchers;
}

}  // namespace

void CaptureShellOpen(const std::string& scheme, std::function<void(const std::string& address)> capture) {
    const QString name = QString::fromStdString(scheme);
    QDesktopServices::unsetUrlHandler(name);
    if (const auto found = Catchers().find(scheme); found != Catchers().end()) {
        delete found->second.data();
        Catchers().erase(found);
    }
    QCoreApplication* application = QCoreApplication::instance();
    if (!capture || !application) return;
    auto* catcher = new CShellOpenCatcher(std::move(capture), application);
    QDesktopServices::setUrlHandler(name, catcher, "Open");
    Catchers()[scheme] = catcher;
}

}  // namespace user

#include "shell_open_capture.moc"
