#pragma once
// The windowing service: everything the system's windows and dialogs call.

#include "platform/user/activation.h"
#include "platform/user/application.h"
#include "platform/user/capture.h"
#include "platform/user/cursors.h"
#include "platform/user/cwnd.h"
#include "platform/user/icons.h"
#include "platform/user/menus.h"
#include "platform/user/message_box.h"
#include "platform/user/message_loop.h"
#include "platform/user/messages.h"
#include "platform/user/painting.h"
#include "platform/user/records.h"
#include "platform/user/resources.h"
#include "platform/user/system_metrics.h"
#include "platform/user/window_classes.h"
#include "platform/user/window_management.h"
