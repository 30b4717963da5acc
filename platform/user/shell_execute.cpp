#include "platform/user/shell_execute.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <cstring>
#include <strings.h>

#include "platform/user/application.h"

namespace user {
namespace {

HINSTANCE Result(int code) { return reinterpret_cast<HINSTANCE>(static_cast<std::intptr_t>(code)); }

// What the shell returns for a document it opened.
constexpr int opened = 42;

bool IsDefaultVerb(LPCSTR verb) { return !verb || !*verb || strcasecmp(verb, "open") == 0; }

// "scheme:" with a scheme of two or more letters, digits, '+', '-' or '.',
// starting with a letter. A path never starts so on this system unless it
// is relative and odd; such a path can be given as "./name".
bool HasScheme(const char* text) {
    const char* colon = std::strchr(text, ':');
    if (!colon || colon - text < 2) return false;
    if (!((*text >= 'a' && *text <= 'z') || (*text >= 'A' && *text <= 'Z'))) return false;
    for (const char* c = text; c < colon; ++c) {
        const bool allowed = (*c >= 'a' && *c <= 'z') || (*c >= 'A' && *c <= 'Z') || (*c >= '0' && *c <= '9') ||
                             *c == '+' || *c == '-' || *c == '.';
        if (!allowed) return false;
    }
    return true;
}

int OpenAddress(const char* text) {
    // Strict parsing first, so that a well-formed address goes on exactly
    // as written; a loose one is repaired the way a browser would.
    QUrl url(QString::fromUtf8(text), QUrl::StrictMode);
    if (!url.isValid()) url = QUrl(QString::fromUtf8(text), QUrl::TolerantMode);
    if (!url.isValid()) return ERROR_FILE_NOT_FOUND;
    return QDesktopServices::openUrl(url) ? opened : SE_ERR_NOASSOC;
}

int OpenDocument(const char* path, LPCSTR directory) {
    QString name = QFile::decodeName(path);
    if (QDir::isRelativePath(name) && directory && *directory) {
        name = QDir(QFile::decodeName(directory)).filePath(name);
    }
    const QFileInfo info(QDir::cleanPath(QDir(QDir::currentPath()).absoluteFilePath(name)));
    if (!info.exists()) return info.dir().exists() ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
    if (!info.isReadable()) return SE_ERR_ACCESSDENIED;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath())) ? opened : SE_ERR_NOASSOC;
}

}  // namespace

HINSTANCE ShellExecuteA(HWND /*owner*/, LPCSTR verb, LPCSTR file, LPCSTR /*parameters*/, LPCSTR directory,
                        int /*showCommand*/) {
    if (!IsDefaultVerb(verb)) return Result(SE_ERR_NOASSOC);
    if (!file || !*file) return Result(ERROR_FILE_NOT_FOUND);
    // The desktop's services need the toolkit running.
    if (!IsApplicationRunning()) return Result(SE_ERR_NOASSOC);
    return Result(HasScheme(file) ? OpenAddress(file) : OpenDocument(file, directory));
}

}  // namespace user
