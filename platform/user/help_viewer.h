#pragma once
// The help viewer's window: one ordinary top-level window, owned by no
// other, reused by every help request while it is open, showing a page of
// a compiled help file with its title in the caption.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/user/records.h"

namespace user {

class CChmFile;

// Shows topic ("/page.htm", perhaps with "#anchor") of file in the viewer,
// opening the window on first use (on the monitor of near, when given) and
// bringing it to the front. Returns the viewer's window; null, with nothing
// shown or changed, when the file has no such page or no window can be
// made.
HWND ShowHelpTopic(std::shared_ptr<const CChmFile> file, const std::string& topic, HWND near = nullptr);

// The viewer's window while it is open, else null.
HWND HelpViewerWindow();

// What the viewer shows: for checking it.
struct HelpViewerPicture {
    std::string source;  // address as resolved against the page
    bool shown = false;  // found in the help file and decoded
};
struct HelpViewerPage {
    std::string topic;  // "/page.htm"
    std::string title;  // the page's own title (UTF-8)
    std::string text;   // the page as plain text (UTF-8)
    std::vector<HelpViewerPicture> pictures;
};
std::optional<HelpViewerPage> DescribeHelpViewer(HWND viewer);

}  // namespace user
