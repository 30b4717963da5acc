// Menu 129: the photo window's right-click menu.
#include "platform/user/resources.h"
#include "res/register_resources.h"
#include "res/resource_ids.h"

namespace res {
namespace {

const user::MenuItemResource photoItems[] = {
    {user::MF_STRING, ID_PHOTO_RESIZE, "リサイズ", {}}, {user::MF_STRING, ID_PHOTO_ROTATE, "回転", {}},
    {user::MF_STRING, ID_PHOTO_SAVE, "保存", {}},       {user::MF_SEPARATOR, 0, nullptr, {}},
    {user::MF_STRING, ID_PHOTO_CLOSE, "閉じる", {}},
};

// The pop-up's own title is never shown: the window shows the pop-up alone.
const user::MenuItemResource photoMenu[] = {
    {user::MF_POPUP, 0, "Photo", photoItems},
};

}  // namespace

bool RegisterPhotoMenu() { return user::RegisterMenuResource(IDR_PHOTO_MENU, photoMenu); }

}  // namespace res
