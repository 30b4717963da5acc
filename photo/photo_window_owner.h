#pragma once
// What a photo window needs from the window that owns it: closing it. The
// launcher implements this; a photo window finds it from its owner window.

class CPhotoWnd;

class CPhotoWindowOwner {
public:
    // Destroys the photo window (which frees the photo object with it).
    virtual void ClosePhotoWindow(CPhotoWnd* window) = 0;

protected:
    ~CPhotoWindowOwner() = default;
};
