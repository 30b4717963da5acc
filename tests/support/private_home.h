#pragma once
// Every test program runs with a home of its own: HOME and the per-user
// folders (XDG_CONFIG_HOME, where the toolkit's file dialog keeps its
// history, the cache, data, state and runtime folders) point into a fresh
// temporary folder, removed when the program ends. So a run neither depends
// on nor leaves anything in the user's home, and programs the tests start
// inherit the same folders.

namespace testsupport {

// Makes the folder and points the environment at it; false when it cannot
// be made. Call first thing in main(), before any library reads them.
bool UsePrivateHome();

}  // namespace testsupport
