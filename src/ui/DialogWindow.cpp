#include "DialogWindow.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWindow>

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

void DialogWindow::centreOnScreen() {
    QScreen* screen = windowHandle() && windowHandle()->screen() ? windowHandle()->screen()
                                                                 : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // move() places the frame's corner; before the window is shown the frame is the client area.
    QRect whole = frameGeometry();
    whole.moveCenter(screen->availableGeometry().center());
    move(whole.topLeft());
    centreWhenFramed_ = whole.size() == size();
}

void DialogWindow::centreAgainWhenFramed() {
    if (centreWhenFramed_ && isVisible() && frameGeometry().size() != size())
        QTimer::singleShot(0, this, [this] {
            if (centreWhenFramed_)
                centreOnScreen();
        });
}

void DialogWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    centreAgainWhenFramed();
}

void DialogWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    centreAgainWhenFramed();
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
