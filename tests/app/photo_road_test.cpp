// The whole road of a photo, as a user takes it from the launcher: a JPEG,
// a BMP, a GIF and a PNG opened, each resized by dragging its corner and
// by the Resize dialog, turned, and saved in every format; each saved file
// has the window's size and the window's pixels. F1 in the Resize dialog
// shows its own help topic.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

#include "image/dib_image.h"
#include "photo/geometry.h"
#include "photo/photo_wnd.h"
#include "platform/framework/framework.h"
#include "tests/app/launcher_support.h"
#include "tests/app/pelmora_process.h"
#include "tests/photo/photo_window_support.h"
#include "tests/support/gui_pump.h"

namespace {

using namespace user;
using namespace apptest;

const auto* const environment = testing::AddGlobalTestEnvironment(new testsupport::CApplicationEnvironment);

constexpr const char* resizeTitle = "リサイズ";

// Positions of the photo menu's items.
constexpr int menuResize = 0;
constexpr int menuRotate = 1;
constexpr int menuSave = 2;

RECT WindowRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

// Chooses a photo-menu item with the real menu: a right click in the
// window, then the keys; then runs whatever answers the command.
void ChooseFromPhotoMenu(HWND photo, int position, std::function<void(CXSession&)> then = {}) {
    const RECT rect = WindowRect(photo);
    const POINT at{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    auto done = testsupport::OnHelperThread([at, position, then] {
        CXSession x;
        apptest::Click(x, at.x, at.y, 3);
        if (!apptest::WaitFor([&] { return !x.OverrideRedirectWindows().empty(); })) return false;
        for (int step = 0; step <= position; ++step) x.TapKey("Down");
        x.TapKey("Return");
        if (then) then(x);
        return true;
    });
    ASSERT_TRUE(PumpUntil([&] { return done.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
                          std::chrono::seconds(20)));
    EXPECT_TRUE(done.get()) << "the photo menu was shown";
    testsupport::Settle();
}

// Types a length into the Resize dialog and confirms it.
std::function<void(CXSession&)> TypeLength(const std::string& length) {
    return [length](CXSession& x) {
        const testsupport::XWindow dialog = x.WaitForWindow(resizeTitle, std::chrono::seconds(5));
        if (!dialog || !apptest::WaitFor([&] { return x.KeyboardFocus() == dialog; })) return;
        x.TapKey("Tab");  // from OK over Cancel to the length
        x.TapKey("Tab");
        x.TapKey("End");
        for (int i = 0; i < 8; ++i) x.TapKey("BackSpace");
        x.TypeText(length);
        x.TapKey("Return");
    };
}

struct Difference {
    double mean = 0;
    int largest = 0;
};

Difference Compare(const Pixels& a, const Pixels& b) {
    Difference difference;
    long long total = 0;
    for (std::size_t i = 0; i < a.rgb.size() && i < b.rgb.size(); ++i) {
        for (int shift : {0, 8, 16}) {
            const int delta =
                std::abs(static_cast<int>((a.rgb[i] >> shift) & 0xFF) - static_cast<int>((b.rgb[i] >> shift) & 0xFF));
            total += delta;
            difference.largest = std::max(difference.largest, delta);
        }
    }
    difference.mean = a.rgb.empty() ? 0 : static_cast<double>(total) / (3.0 * static_cast<double>(a.rgb.size()));
    return difference;
}

struct SaveCase {
    const char* extension;
    double meanLimit;  // lossless formats keep every pixel
};
const SaveCase saves[] = {{"png", 0},  {"bmp", 0},  {"jpg", 8},  {"gif", 12},
                          {"webp", 8}, {"heic", 8}, {"avif", 8}, {"jxl", 8}};

class PhotoRoad : public LauncherTest, public testing::WithParamInterface<const char*> {};

TEST_P(PhotoRoad, OpenResizeTurnAndSaveInEveryFormat) {
    apptest::CTempFolder folder("pelmora_road");
    RunLauncher([&] {
        OpenPhoto(fixtures + "/" + GetParam());
        ASSERT_TRUE(PumpUntil([&] { return apptest::PhotoWindowRects(x_).size() == 1; }));
        const HWND photo = GetLastActivePopup(Launcher());
        auto* window = dynamic_cast<CPhotoWnd*>(CWnd::FromHandlePermanent(photo));
        ASSERT_NE(window, nullptr);
        LONG aspectWidth = window->aspectWidth;
        LONG aspectHeight = window->aspectHeight;
        LONG rotation = 0;

        // The corner dragged 80 right and 50 down.
        RECT expected = WindowRect(photo);
        const POINT grip{expected.right - 5, expected.bottom - 5};
        const POINT gripClient{expected.right - expected.left - 5, expected.bottom - expected.top - 5};
        auto drag = testsupport::OnHelperThread([grip] {
            CXSession x;
            apptest::Drag(x, grip.x, grip.y, grip.x + 80, grip.y + 50);
        });
        ASSERT_TRUE(PumpUntil([&] { return drag.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
        expected = DraggedRect(dragResize, expected, gripClient, POINT{gripClient.x + 80, gripClient.y + 50},
                               aspectWidth, aspectHeight);
        EXPECT_TRUE(PumpUntil([&] { return WindowRect(photo) == expected; })) << "resized by its corner";

        // The long side set to 240 in the Resize dialog.
        ChooseFromPhotoMenu(photo, menuResize, TypeLength("240"));
        expected = RectForSideLength(expected, sideLong, 240, aspectWidth, aspectHeight);
        EXPECT_TRUE(PumpUntil([&] { return WindowRect(photo) == expected; })) << "resized by the dialog";

        ChooseFromPhotoMenu(photo, menuRotate);
        RotateQuarterTurn(rotation, aspectWidth, aspectHeight, expected);
        EXPECT_TRUE(PumpUntil([&] { return WindowRect(photo) == expected; })) << "turned";
        EXPECT_EQ(window->rotation, 1);

        for (const SaveCase& save : saves) {
            SCOPED_TRACE(save.extension);
            const std::string path = folder.Path() + "/saved." + save.extension;
            const auto answered = apptest::AnswerNextFileDialog(path);
            ChooseFromPhotoMenu(photo, menuSave);
            // The slower encoders (AV1) on a loaded machine take their time.
            ASSERT_TRUE(
                PumpUntil([&] { return *answered && std::filesystem::exists(path); }, std::chrono::seconds(30)));
            const RECT rect = WindowRect(photo);
            const Pixels shown = x_.Grab(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);

            CDibImage saved;
            ASSERT_EQ(saved.LoadFromFile(path.c_str()), S_OK);
            EXPECT_EQ(saved.width, rect.right - rect.left);
            EXPECT_EQ(saved.height, rect.bottom - rect.top);
            const Pixels written = phototest::DirectDrawing(saved, 0, saved.width, saved.height);
            ASSERT_EQ(written.rgb.size(), shown.rgb.size());
            const Difference difference = Compare(written, shown);
            EXPECT_LE(difference.mean, save.meanLimit);
            if (save.meanLimit == 0) {
                EXPECT_EQ(difference.largest, 0);
            }
        }
    });
}

INSTANTIATE_TEST_SUITE_P(Launcher, PhotoRoad,
                         testing::Values("jpeg-colour.jpg", "bmp-info-24.bmp", "gif-pattern.gif", "png-rgb-8.png"),
                         [](const testing::TestParamInfo<const char*>& info) {
                             std::string name = info.param;
                             return name.substr(name.rfind('.') + 1);
                         });

TEST_F(LauncherTest, F1InTheResizeDialogShowsItsOwnTopic) {
    RunLauncher([&] {
        OpenPhoto(fixtures + "/png-rgb-8.png");
        ASSERT_TRUE(PumpUntil([&] { return apptest::PhotoWindowRects(x_).size() == 1; }));
        const HWND photo = GetLastActivePopup(Launcher());
        std::string topic;
        // Polls without serving messages until the dialog is up (serving
        // them here would run the dialog inside this poll), then acts
        // from inside the dialog's run.
        auto poll = std::make_shared<std::function<void()>>();
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        *poll = [&, poll, limit] {
            const HWND dialog = GetActiveWindow();
            char title[32] = {};
            GetWindowTextA(dialog, title, sizeof title);
            if (std::string(title) != resizeTitle) {
                if (std::chrono::steady_clock::now() < limit) {
                    testsupport::RunSoon(*poll, std::chrono::milliseconds(10));
                } else {
                    *poll = nullptr;
                }
                return;
            }
            PressF1(x_, resizeTitle);
            topic = TakeHelpTopic().value_or("");
            SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            *poll = nullptr;  // ends the cycle between the function and itself
        };
        testsupport::RunSoon(*poll);
        ChooseFromPhotoMenu(photo, menuResize);
        EXPECT_EQ(topic, "/resize.htm") << "context 131211";
    });
}

}  // namespace
