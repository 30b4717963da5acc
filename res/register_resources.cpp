#include "res/register_resources.h"

namespace res {

bool RegisterResources() {
    // Every part is tried, so that one refused resource does not hide the
    // others.
    bool ok = RegisterDialogTemplates();
    ok = RegisterPhotoMenu() && ok;
    ok = RegisterStringTable() && ok;
    ok = RegisterPictures() && ok;
    return ok;
}

}  // namespace res
