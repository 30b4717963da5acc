#pragma once
// The program's resources: dialog templates, the photo menu, the string
// table, icons, the banner bitmap and the hand pointer.

namespace res {

// Registers every resource with the windowing service; false when one of
// them is refused (the program cannot show its windows then). Safe to call
// again.
bool RegisterResources();

// The parts, for the pieces that register them.
bool RegisterDialogTemplates();
bool RegisterPhotoMenu();
bool RegisterStringTable();
bool RegisterPictures();

}  // namespace res
