#pragma once
// Steps of the service's start-up and shut-down that live beside the
// subjects they concern.

namespace user::internal {

// Chooses and installs the whole-screen drawing back-end for this desktop.
void InstallScreenBackend();
void RemoveScreenBackend();
// Another program taking over (the program losing activation) ends a mouse
// capture, which is then told to its window.
void WatchApplicationState();

}  // namespace user::internal
