#pragma once
// Answers the next save dialog from inside its run, the way a user does:
// once it is up with its name field focused, types the name key by key and
// presses Return, and answers the question about replacing a file. What
// the dialog showed, and every other box that came up, is noted.

#include <memory>
#include <string>
#include <vector>

#include "platform/user/records.h"

namespace phototest {

struct SaveDialogSeen {
    bool shown = false;
    std::vector<std::string> filters;
    std::string selectedFilter;
    std::string defaultSuffix;
    std::string nameField;  // what the name field held on opening
    bool confirmsOverwrite = false;
    bool ownerEnabled = true;  // the photo window, while the dialog is up
    bool askedToReplace = false;
    std::vector<std::string> otherBoxes;  // texts of any other box shown
    bool finished = false;                // the dialog closed
    bool timedOut = false;
};

// name: what to type; empty cancels with Escape. replace: the answer to
// "already exists" (Yes types y; No presses Return, the default, and then
// Escape cancels the dialog).
std::shared_ptr<SaveDialogSeen> AnswerSaveDialog(const std::string& name, user::HWND owner, bool replace = true);

}  // namespace phototest
