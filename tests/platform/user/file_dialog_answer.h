#pragma once
// Answering the open and save dialogs from inside their run.

#include <memory>
#include <string>

namespace usertest {

// Answers the next file dialog: the path chosen, or cancelled for an empty
// path. True once answered.
std::shared_ptr<bool> AnswerNextFileDialog(const std::string& path);

}  // namespace usertest
