#include "platform/user/help_viewer_browser.h"

#include <QImage>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>

#include "platform/user/shell_execute.h"

namespace user::internal {
namespace {

// Pages are addressed inside the file as chm:/path.htm, so that links
// relative to a page resolve as they would on a web server.
const QString fileScheme = QStringLiteral("chm");

QUrl TopicUrl(const std::string& topic) {
    QUrl url;
    url.setScheme(fileScheme);
    const std::size_t hash = topic.find('#');
    url.setPath(QString::fromStdString(topic.substr(0, hash)));
    if (hash != std::string::npos) url.setFragment(QString::fromStdString(topic.substr(hash + 1)));
    return url;
}

std::string InFilePath(const QUrl& url) { return url.path(QUrl::FullyDecoded).toStdString(); }

bool IsWebLink(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https") || scheme == QLatin1String("mailto");
}

}  // namespace

CHelpBrowser::CHelpBrowser(std::shared_ptr<const CChmFile> file, QWidget* parent)
    : QTextBrowser(parent), file_(std::move(file)) {
    // Links are followed here, so that none leaves the file unless it is a
    // web address.
    setOpenLinks(false);
    setOpenExternalLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, [this](const QUrl& link) { Follow(link); });
}

bool CHelpBrowser::ShowTopic(const std::string& topic) {
    const QUrl url = TopicUrl(topic);
    if (!file_->Contains(InFilePath(url))) return false;
    setSource(url, QTextDocument::HtmlResource);
    return true;
}

std::string CHelpBrowser::Topic() const { return source().isValid() ? InFilePath(source()) : std::string(); }

std::string CHelpBrowser::PageTitle() const { return documentTitle().trimmed().toStdString(); }

std::vector<HelpPicture> CHelpBrowser::Pictures() const {
    std::vector<HelpPicture> pictures;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            const QTextCharFormat format = fragment.fragment().charFormat();
            if (!format.isImageFormat()) continue;
            // The picture as the page draws it: what the document holds for
            // that name.
            const QString name = format.toImageFormat().name();
            const QVariant picture = document()->resource(QTextDocument::ImageResource, QUrl(name));
            bool shown = false;
            if (picture.canConvert<QImage>()) shown = !picture.value<QImage>().isNull();
            if (!shown && picture.userType() == QMetaType::QByteArray) {
                shown = !QImage::fromData(picture.toByteArray()).isNull();
            }
            pictures.push_back(HelpPicture{Resolved(QUrl(name)).toString().toStdString(), shown});
        }
    }
    return pictures;
}

QUrl CHelpBrowser::Resolved(const QUrl& name) const {
    if (!name.isRelative()) return name;
    const QUrl base = loading_.isValid() ? loading_ : source();
    return base.resolved(name);
}

void CHelpBrowser::doSetSource(const QUrl& name, QTextDocument::ResourceType type) {
    loading_ = name;
    QTextBrowser::doSetSource(name, type);
    loading_ = QUrl();
}

QVariant CHelpBrowser::loadResource(int type, const QUrl& name) {
    const QUrl url = Resolved(name);
    // Data addresses carry their picture within the page.
    if (url.scheme() == QLatin1String("data")) return {};
    // Anything else not found in the file is answered with nothing rather
    // than left unanswered: the document would then read local files itself.
    std::optional<std::vector<unsigned char>> bytes;
    if (url.scheme() == fileScheme) bytes = file_->Read(InFilePath(url));
    const QByteArray data =
        bytes ? QByteArray(reinterpret_cast<const char*>(bytes->data()), static_cast<qsizetype>(bytes->size()))
              : QByteArray();
    switch (type) {
        case QTextDocument::HtmlResource: {
            // The page's own byte-order mark or charset declaration, else UTF-8.
            QStringDecoder decoder = QStringDecoder::decoderForHtml(data);
            if (!decoder.isValid()) decoder = QStringDecoder(QStringDecoder::Utf8);
            return QString(decoder.decode(data));
        }
        case QTextDocument::StyleSheetResource: return QString::fromUtf8(data);
        case QTextDocument::ImageResource: return QImage::fromData(data);
        default: return QByteArray();
    }
}

void CHelpBrowser::Follow(const QUrl& link) {
    const QUrl url = Resolved(link);
    if (url.scheme() == fileScheme) {
        // A link to a page the file lacks leaves the page as it is.
        if (file_->Contains(InFilePath(url))) setSource(url, QTextDocument::HtmlResource);
    } else if (IsWebLink(url)) {
        ShellExecuteA(nullptr, nullptr, url.toString(QUrl::FullyEncoded).toStdString().c_str(), nullptr, nullptr,
                      SW_SHOWNORMAL);
    }
}

}  // namespace user::internal
