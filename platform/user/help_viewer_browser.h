#pragma once
// The page view of the help viewer. Pages, style sheets and pictures come
// from one compiled help file and nowhere else: a page cannot reach the
// disk or the network. Links within the file are followed there; web and
// mail links go to the desktop's default program.

#include <QTextBrowser>

#include <memory>
#include <string>
#include <vector>

#include "platform/user/chm_file.h"

namespace user::internal {

struct HelpPicture {
    std::string source;  // as resolved against its page
    bool shown = false;  // drawn: found in the file and decoded
};

class CHelpBrowser : public QTextBrowser {
public:
    CHelpBrowser(std::shared_ptr<const CChmFile> file, QWidget* parent);

    const CChmFile& File() const { return *file_; }
    // Shows a page of the file ("/page.htm", perhaps with "#anchor"). False,
    // with the page shown before kept, when the file has no such page.
    bool ShowTopic(const std::string& topic);
    // The path of the page shown, "/page.htm"; empty before the first.
    std::string Topic() const;
    std::string PageTitle() const;  // UTF-8
    std::vector<HelpPicture> Pictures() const;

    QVariant loadResource(int type, const QUrl& name) override;

protected:
    void doSetSource(const QUrl& name, QTextDocument::ResourceType type) override;

private:
    void Follow(const QUrl& link);
    QUrl Resolved(const QUrl& name) const;

    std::shared_ptr<const CChmFile> file_;
    QUrl loading_;  // the page being loaded, while it is
};

}  // namespace user::internal
