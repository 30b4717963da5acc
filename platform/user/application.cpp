#include "platform/user/application.h"

#include <QApplication>
#include <QGuiApplication>

#include <X11/Xlib.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>

#include "platform/user/capture.h"
#include "platform/user/internal/lifecycle.h"
#include "platform/user/internal/toolkit_resources.h"
#include "platform/user/internal/window_registry.h"
#include "platform/user/message_loop.h"
#include "platform/user/window_management.h"

namespace user {
namespace {

// The program's module handle: one module, so one fixed value (the usual
// load address of an executable, which also reads well in class names).
HINSTANCE const programInstance = reinterpret_cast<HINSTANCE>(static_cast<std::uintptr_t>(0x00400000));

std::string ExecutablePathOrName() {
    std::error_code error;
    const std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string("pelmora") : path.string();
}

std::string& Title() {
    static std::string title = [] {
        const std::filesystem::path path(ExecutablePathOrName());
        return path.stem().string();
    }();
    return title;
}

struct Toolkit {
    int argc = 1;
    std::string name;
    char* argv[2] = {nullptr, nullptr};
    std::unique_ptr<QApplication> application;
};

Toolkit& TheToolkit() {
    static Toolkit toolkit;
    return toolkit;
}

bool NonEmpty(const char* value) { return value && *value; }

// Chooses the toolkit's platform. Windows are placed at exact screen
// pixels, which only X11 allows a client: use it whenever an X display
// exists, also inside a Wayland session.
bool ChoosePlatform(std::string* error) {
    const char* requested = std::getenv("QT_QPA_PLATFORM");
    const bool headless =
        NonEmpty(requested) && (std::strcmp(requested, "offscreen") == 0 || std::strcmp(requested, "minimal") == 0);
    if (headless) return true;
    const char* display = std::getenv("DISPLAY");
    if (!NonEmpty(display)) {
        if (error) *error = "no X display to show windows on (DISPLAY is not set)";
        return false;
    }
    // Probe first: the toolkit ends the process when it cannot connect.
    Display* connection = XOpenDisplay(display);
    if (!connection) {
        if (error) *error = std::string("cannot open the X display ") + display;
        return false;
    }
    XCloseDisplay(connection);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    return true;
}

// One window pixel is one screen pixel, whatever the desktop's scale.
void TurnOffScaling() {
    setenv("QT_ENABLE_HIGHDPI_SCALING", "0", 1);
    for (const char* name : {"QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_AUTO_SCREEN_SCALE_FACTOR",
                             "QT_DEVICE_PIXEL_RATIO", "QT_USE_PHYSICAL_DPI"}) {
        unsetenv(name);
    }
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::Round);
}

}  // namespace

bool StartApplication(std::string* error) {
    Toolkit& toolkit = TheToolkit();
    if (toolkit.application) return true;
    if (QCoreApplication::instance()) {
        if (error) *error = "another toolkit application object exists";
        return false;
    }
    if (!ChoosePlatform(error)) return false;
    TurnOffScaling();
    // The command line is not ours to read, nor the toolkit's.
    toolkit.name = Title();
    toolkit.argv[0] = toolkit.name.data();
    toolkit.argc = 1;
    toolkit.application = std::make_unique<QApplication>(toolkit.argc, toolkit.argv);
    toolkit.application->setQuitOnLastWindowClosed(false);
    internal::WatchApplicationState();
    internal::InstallScreenBackend();
    return true;
}

bool IsApplicationRunning() { return TheToolkit().application != nullptr; }

void StopApplication() {
    Toolkit& toolkit = TheToolkit();
    if (!toolkit.application) return;
    if (GetCapture()) ReleaseCapture();
    for (HWND window : internal::Windows().Handles()) {
        const internal::WindowRecord* record = internal::FindWindowRecord(window);
        if (record && !internal::IsChildStyle(*record) && !internal::FindWindowRecord(record->owner)) {
            DestroyWindow(window);
        }
    }
    for (HWND window : internal::Windows().Handles()) DestroyWindow(window);
    ProcessMessages();
    internal::RemoveScreenBackend();
    internal::ForgetCursors();
    internal::ForgetIcons();
    toolkit.application.reset();
}

HINSTANCE GetModuleHandleA(LPCSTR moduleName) { return moduleName ? nullptr : programInstance; }

std::string GetExecutablePath() { return ExecutablePathOrName(); }

const std::string& GetApplicationTitle() { return Title(); }

void SetApplicationTitle(const std::string& title) { Title() = title; }

}  // namespace user
