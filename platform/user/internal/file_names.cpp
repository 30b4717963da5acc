#include "platform/user/internal/file_names.h"

#include <QFile>

#include <dirent.h>
#include <sys/stat.h>

#include <vector>

#include "platform/kernel/code_page.h"

namespace user::internal {
namespace {

bool Exists(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0;
}

// The entries of folder whose names read as component; stops after two.
std::vector<std::string> Matching(const std::string& folder, const QString& component) {
    std::vector<std::string> found;
    DIR* directory = opendir(folder.empty() ? "/" : folder.c_str());
    if (!directory) return found;
    while (const dirent* entry = readdir(directory)) {
        if (QFile::decodeName(entry->d_name) == component) {
            found.emplace_back(entry->d_name);
            if (found.size() > 1) break;
        }
    }
    closedir(directory);
    return found;
}

}  // namespace

QString FromAnsi(const std::string& text) {
    if (text.empty()) return QString();
    const int length = static_cast<int>(text.size());
    const int units = kernel::MultiByteToWideChar(kernel::CP_ACP, 0, text.data(), length, nullptr, 0);
    if (units <= 0) return QString::fromLocal8Bit(text.data(), length);
    std::u16string wide(static_cast<std::size_t>(units), u'\0');
    kernel::MultiByteToWideChar(kernel::CP_ACP, 0, text.data(), length, wide.data(), units);
    return QString::fromUtf16(wide.data(), static_cast<qsizetype>(wide.size()));
}

bool FileSystemPath(const QString& path, std::string* bytes) {
    std::string result;
    for (const QString& component : path.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        const std::string encoded = QFile::encodeName(component).toStdString();
        std::string candidate = result + "/" + encoded;
        if (!Exists(candidate)) {
            const std::vector<std::string> matches = Matching(result, component);
            if (matches.size() > 1) return false;
            if (matches.size() == 1) candidate = result + "/" + matches.front();
        }
        result = std::move(candidate);
    }
    *bytes = result.empty() ? "/" : result;
    return true;
}

}  // namespace user::internal
