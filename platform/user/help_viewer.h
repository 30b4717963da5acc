#pragma once
// The help viewer's window: one ordinary top-level window, owned by no
// other, reused by every help request while it is open, showing a page of
// a compiled help file with its title in the caption.

#include <memory>
#include <string>

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

}  // namespace user
