#include "platform/user/help_viewer.h"

#include <QAction>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>

#include "platform/user/activation.h"
#include "platform/user/application.h"
#include "platform/user/chm_file.h"
#include "platform/user/help_viewer_browser.h"
#include "platform/user/internal/class_registry.h"
#include "platform/user/internal/window_registry.h"
#include "platform/user/internal/window_widget.h"
#include "platform/user/messages.h"
#include "platform/user/user_testing.h"
#include "platform/user/window_management.h"

namespace user {
namespace {

// The class name Windows' own help viewer windows have.
constexpr const char* viewerClass = "HH Parent";
constexpr DWORD overlappedWindow =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
constexpr int preferredWidth = 760;
constexpr int preferredHeight = 600;

HWND viewerWindow = nullptr;

// The viewer: a tool bar for moving through the pages over the page view.
// The page view is made anew for each request, so that nothing of an
// earlier file (cached pictures, history) shows with a later one.
class CHelpViewerWidget : public internal::CWindowWidget {
public:
    explicit CHelpViewerWidget(HWND window) : CWindowWidget(window, nullptr, Qt::Window) {
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        toolBar_ = new QToolBar(this);
        // The window itself paints nothing behind its children.
        toolBar_->setAutoFillBackground(true);
        toolBar_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        back_ = toolBar_->addAction(style()->standardIcon(QStyle::SP_ArrowBack), QStringLiteral("戻る"));
        forward_ = toolBar_->addAction(style()->standardIcon(QStyle::SP_ArrowForward), QStringLiteral("進む"));
        home_ = toolBar_->addAction(style()->standardIcon(QStyle::SP_DirHomeIcon), QStringLiteral("ホーム"));
        layout->addWidget(toolBar_);
        connect(back_, &QAction::triggered, this, [this] {
            if (browser_) browser_->backward();
        });
        connect(forward_, &QAction::triggered, this, [this] {
            if (browser_) browser_->forward();
        });
        connect(home_, &QAction::triggered, this, [this] {
            if (browser_) browser_->ShowTopic(browser_->File().DefaultTopic());
        });
        setCursor(Qt::ArrowCursor);
    }

    internal::CHelpBrowser* Browser() const { return browser_; }

    bool Show(std::shared_ptr<const CChmFile> file, const std::string& topic) {
        const bool sameFile = browser_ && &browser_->File() == file.get();
        if (sameFile) return browser_->ShowTopic(topic);
        auto* browser = new internal::CHelpBrowser(std::move(file), this);
        if (!browser->ShowTopic(topic)) {
            delete browser;
            return false;
        }
        if (browser_) {
            layout()->replaceWidget(browser_, browser);
            delete browser_;
        } else {
            layout()->addWidget(browser);
        }
        browser_ = browser;
        back_->setEnabled(false);
        forward_->setEnabled(false);
        home_->setEnabled(!browser_->File().DefaultTopic().empty());
        connect(browser_, &QTextBrowser::backwardAvailable, back_, &QAction::setEnabled);
        connect(browser_, &QTextBrowser::forwardAvailable, forward_, &QAction::setEnabled);
        connect(browser_, &QTextBrowser::sourceChanged, this, [this] { ShowTitle(); });
        browser_->installEventFilter(this);
        ShowTitle();
        return true;
    }

protected:
    // The pointer takes the page's own shapes (a hand over links), never
    // the program's last chosen one.
    void enterEvent(QEnterEvent*) override { internal::State().pointerWindow = Handle(); }

    // The page view holds the keyboard focus on behalf of the window.
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == browser_) {
            internal::ServiceState& state = internal::State();
            if (event->type() == QEvent::FocusIn && state.focus != Handle()) {
                const HWND previous = state.focus;
                state.focus = Handle();
                SendMessageA(Handle(), WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
            } else if (event->type() == QEvent::FocusOut && state.focus == Handle()) {
                state.focus = nullptr;
                SendMessageA(Handle(), WM_KILLFOCUS, 0, 0);
            }
        }
        return CWindowWidget::eventFilter(watched, event);
    }

private:
    // "Page - help file title", or whichever of the two there is.
    void ShowTitle() {
        if (!browser_) return;
        std::string title = browser_->PageTitle();
        const std::string& fileTitle = browser_->File().Title();
        if (!fileTitle.empty() && fileTitle != title) title = title.empty() ? fileTitle : title + " - " + fileTitle;
        SetWindowTextA(Handle(), title.c_str());
    }

    QToolBar* toolBar_ = nullptr;
    QAction* back_ = nullptr;
    QAction* forward_ = nullptr;
    QAction* home_ = nullptr;
    internal::CHelpBrowser* browser_ = nullptr;
};

CHelpViewerWidget* ViewerWidget(HWND window) {
    const internal::WindowRecord* record = internal::FindWindowRecord(window);
    return record ? dynamic_cast<CHelpViewerWidget*>(record->widget.data()) : nullptr;
}

QWidget* MakeViewerWidget(HWND window, const CREATESTRUCTA&, QWidget*) { return new CHelpViewerWidget(window); }

LRESULT ViewerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY && window == viewerWindow) viewerWindow = nullptr;
    return DefWindowProcA(window, message, wParam, lParam);
}

bool RegisterViewerClass() {
    return internal::FindClass(viewerClass) ||
           internal::RegisterBuiltInClass(viewerClass, 0, ViewerProc, nullptr, MakeViewerWidget);
}

// Centred on the work area of the monitor the nearby window is on, else of
// the primary monitor, and no larger than it.
QRect Placement(HWND near) {
    QScreen* screen = QGuiApplication::primaryScreen();
    RECT nearRect{};
    if (near && GetWindowRect(near, &nearRect)) {
        const QPoint centre((nearRect.left + nearRect.right) / 2, (nearRect.top + nearRect.bottom) / 2);
        if (QScreen* nearScreen = QGuiApplication::screenAt(centre)) screen = nearScreen;
    }
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, preferredWidth, preferredHeight);
    const QSize size(std::min(preferredWidth, area.width()), std::min(preferredHeight, area.height()));
    return QRect(area.center() - QPoint(size.width() / 2, size.height() / 2), size);
}

}  // namespace

HWND ShowHelpTopic(std::shared_ptr<const CChmFile> file, const std::string& topic, HWND near) {
    if (!file || !IsApplicationRunning() || !file->Contains(topic.substr(0, topic.find('#')))) return nullptr;
    HWND window = HelpViewerWindow();
    if (!window) {
        if (!RegisterViewerClass()) return nullptr;
        const QRect place = Placement(near);
        window = CreateWindowExA(0, viewerClass, "", overlappedWindow, place.x(), place.y(), place.width(),
                                 place.height(), nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        CHelpViewerWidget* viewer = ViewerWidget(window);
        if (!viewer || !viewer->Show(std::move(file), topic)) {
            if (window) DestroyWindow(window);
            return nullptr;
        }
        viewerWindow = window;
    } else if (!ViewerWidget(window)->Show(std::move(file), topic)) {
        return nullptr;
    }
    // Restored if it was minimised, and brought to the front.
    ShowWindow(window, SW_SHOWNORMAL);
    if (CHelpViewerWidget* viewer = ViewerWidget(window); viewer && viewer->Browser()) {
        viewer->Browser()->setFocus(Qt::OtherFocusReason);
    }
    return internal::LiveOrNull(window);
}

HWND HelpViewerWindow() { return ViewerWidget(viewerWindow) ? viewerWindow : nullptr; }

std::optional<HelpViewerPage> DescribeHelpViewer(HWND viewer) {
    const CHelpViewerWidget* widget = ViewerWidget(viewer);
    if (!widget || !widget->Browser()) return std::nullopt;
    const internal::CHelpBrowser& browser = *widget->Browser();
    HelpViewerPage page;
    page.topic = browser.Topic();
    page.title = browser.PageTitle();
    page.text = browser.toPlainText().toStdString();
    for (const internal::HelpPicture& picture : browser.Pictures()) {
        page.pictures.push_back(HelpViewerPicture{picture.source, picture.shown});
    }
    return page;
}

}  // namespace user
