#pragma once
// What a photo window needs from the window that owns it: closing it, and
// opening files dropped onto it. The launcher implements this; a photo
// window finds it from its owner window.

#include "platform/user/dropped_files.h"

class CPhotoWnd;

class CPhotoWindowOwner {
public:
    // Destroys the photo window (which frees the photo object with it).
    virtual void ClosePhotoWindow(CPhotoWnd* window) = 0;
    // Opens the dropped files as photos, as a drop onto the owner itself
    // does, and ends the drop.
    virtual void OpenDroppedFiles(user::HDROP drop) = 0;

protected:
    ~CPhotoWindowOwner() = default;
};
