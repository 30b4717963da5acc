// Icons, the banner bitmap and the hand pointer, from the picture files
// compiled into the program.
#include "platform/user/resources.h"
#include "res/embedded_pictures.h"
#include "res/register_resources.h"
#include "res/resource_ids.h"

namespace res {

bool RegisterPictures() {
    bool ok = user::RegisterIconFile(IDR_MAINFRAME, AppIconFile());
    ok = user::RegisterIconFile(IDI_OPEN_PHOTO, OpenPhotoIconFile()) && ok;
    ok = user::RegisterIconFile(IDI_HELP, HelpIconFile()) && ok;
    ok = user::RegisterBitmapFile(IDB_BANNER, BannerBitmapFile()) && ok;
    ok = user::RegisterCursorFile(IDC_HAND_POINTER, HandCursorFile()) && ok;
    return ok;
}

}  // namespace res
