// The string table. The application title (AFX_IDS_APP_TITLE) is left out
// on purpose: message boxes then show the executable's name.
#include "platform/user/resources.h"
#include "res/register_resources.h"
#include "res/resource_ids.h"

namespace res {

bool RegisterStringTable() {
    bool ok = user::RegisterStringResource(IDS_ABOUTBOX, "バージョン情報 (&A)...");
    ok = user::RegisterStringResource(AFX_IDP_FAILED_TO_LAUNCH_HELP, "Failed to launch help.") && ok;
    ok = user::RegisterStringResource(AFX_IDP_PARSE_INT, "Please enter an integer.") && ok;
    return ok;
}

}  // namespace res
