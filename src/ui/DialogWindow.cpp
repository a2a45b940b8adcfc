#include "DialogWindow.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <cstdlib>

namespace convodesk::ui {

DialogWindow::DialogWindow(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {}

void DialogWindow::showOver(QWidget* mainWindow) {
    if (mainWindow_ != mainWindow) {
        if (mainWindow_)
            mainWindow_->removeEventFilter(this);
        mainWindow_ = mainWindow;
        if (mainWindow_)
            mainWindow_->installEventFilter(this);
    }
    if (mainWindow_ && mainWindow_->isEnabled())
        focusBefore_ = mainWindow_->window()->focusWidget();
    winId();
    if (mainWindow_ && windowHandle() && mainWindow_->window()->windowHandle())
        windowHandle()->setTransientParent(mainWindow_->window()->windowHandle());
    show();
    raise();
    activateWindow();
}

void DialogWindow::giveMainWindowBack(QWidget* mainWindow) {
    if (!mainWindow)
        return;
    mainWindow->setEnabled(true);
    mainWindow->activateWindow();
    if (focusBefore_ && focusBefore_->window() == mainWindow->window() && focusBefore_->isVisible() &&
        focusBefore_->isEnabled())
        focusBefore_->setFocus(Qt::ActiveWindowFocusReason);
    focusBefore_ = nullptr;
}

namespace {

// How long after it is first shown the window is kept centred while the window system settles
// its frame and place, and how often it is put back at most.
constexpr int settleMilliseconds = 2000;
constexpr int mostCorrections = 6;
constexpr int checkTimes[] = {0, 20, 50, 150, 400, 1000, 1900};

QScreen* screenOf(const QWidget& widget) {
    return widget.windowHandle() && widget.windowHandle()->screen() ? widget.windowHandle()->screen()
                                                                    : QGuiApplication::primaryScreen();
}

// A frame the window system reports while it is still taking the window over can be far off
// (a margin as large as the screen): such a frame is not used.
bool plausibleFrame(const QWidget& widget, const QRect& available) {
    const QRect frame = widget.frameGeometry();
    const QRect client = widget.geometry();
    const int left = client.left() - frame.left();
    const int top = client.top() - frame.top();
    const int right = frame.right() - client.right();
    const int bottom = frame.bottom() - client.bottom();
    const int most = std::max(0, available.height() / 8);
    for (int margin : {left, top, right, bottom})
        if (margin < 0 || margin > most)
            return false;
    return true;
}

} // namespace

void DialogWindow::centreOnScreen() {
    centred_ = true;
    settleOnShow_ = true;
    placeCentred();
}

void DialogWindow::placeCentred() {
    QScreen* screen = screenOf(*this);
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    // move() places the frame's corner; before the window is shown the frame is the client area.
    QRect whole = plausibleFrame(*this, available) ? frameGeometry() : geometry();
    whole.moveCenter(available.center());
    move(whole.topLeft());
}

void DialogWindow::keepCentredWhileSettling() {
    if (!centred_ || !isVisible() || !settling_.isValid() || settling_.elapsed() > settleMilliseconds)
        return;
    QScreen* screen = screenOf(*this);
    if (!screen || !plausibleFrame(*this, screen->availableGeometry()))
        return;
    const QPoint off = frameGeometry().center() - screen->availableGeometry().center();
    if (std::abs(off.x()) <= 1 && std::abs(off.y()) <= 1)
        return;
    if (corrections_ >= mostCorrections)
        return;
    ++corrections_;
    QTimer::singleShot(0, this, [this] { placeCentred(); });
}

void DialogWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    keepCentredWhileSettling();
}

void DialogWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    keepCentredWhileSettling();
}

void DialogWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!settleOnShow_)
        return;
    // The first showing: the window manager takes the window over in its own time (framing
    // and placing it, maybe starting only now), not always with an event that tells it; so
    // the place is checked again a few times as well.
    settleOnShow_ = false;
    settling_.start();
    corrections_ = 0;
    if (QScreen* screen = screenOf(*this))
        connect(screen, &QScreen::availableGeometryChanged, this, &DialogWindow::keepCentredWhileSettling,
                Qt::UniqueConnection);
    for (int after : checkTimes)
        QTimer::singleShot(after, this, &DialogWindow::keepCentredWhileSettling);
    keepCentredWhileSettling();
}

void DialogWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMinimized())
        QTimer::singleShot(0, this, [this] { takeActivationBack(); });
}

bool DialogWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == mainWindow_ && event->type() == QEvent::ActivationChange && isVisible() &&
        !mainWindow_->isEnabled() && mainWindow_->isActiveWindow())
        QTimer::singleShot(0, this, [this] { takeActivationBack(); });
    return QWidget::eventFilter(watched, event);
}

void DialogWindow::takeActivationBack() {
    if (!isVisible())
        return;
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
}

} // namespace convodesk::ui
