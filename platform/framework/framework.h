#pragma once
// The application framework: windows bound to objects, dialogs and their
// data exchange, the file dialogs, the application object and help, with
// the whole windowing service beneath them.

#include "platform/framework/cdialog.h"
#include "platform/framework/cwnd.h"
#include "platform/framework/data_exchange.h"
#include "platform/framework/file_dialog.h"
#include "platform/framework/framework_ids.h"
#include "platform/framework/win_app.h"
#include "platform/user/user.h"
