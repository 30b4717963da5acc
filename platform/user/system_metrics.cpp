#include "platform/user/system_metrics.h"

#include <QGuiApplication>
#include <QScreen>

#include "platform/user/records.h"

namespace user {

int GetSystemMetrics(int index) {
    switch (index) {
        case SM_CXSCREEN:
        case SM_CYSCREEN: {
            const QScreen* screen = QGuiApplication::instance() ? QGuiApplication::primaryScreen() : nullptr;
            if (!screen) return 0;
            return index == SM_CXSCREEN ? screen->geometry().width() : screen->geometry().height();
        }
        case SM_CXICON:
        case SM_CYICON:
        case SM_CXCURSOR:
        case SM_CYCURSOR: return 32;
        case SM_CXSMICON:
        case SM_CYSMICON: return 16;
        default: return 0;
    }
}

}  // namespace user
