#include "ScreenWindow.h"

#include "ui/modGeneral.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QMenu>

namespace convodesk::app {

ScreenWindow::ScreenWindow(QWidget* screen) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWidget(screen);
    setWindowTitle(screen->windowTitle());
    // The main window closes the active screen by key wherever the keyboard is; the system
    // menu's own close keys would compete with it (and work only while a control of the
    // screen has the keyboard).
    if (QMenu* menu = systemMenu())
        for (QAction* action : menu->actions())
            action->setShortcuts({});
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now && widget() && widget()->isAncestorOf(now))
            lastFocus_ = now;
    });
}

void ScreenWindow::restoreKeyboard() {
    QWidget* screen = widget();
    if (!screen || isMinimized())
        return;
    if (lastFocus_ && screen->isAncestorOf(lastFocus_) && lastFocus_->isVisible() && lastFocus_->isEnabled())
        lastFocus_->setFocus(Qt::OtherFocusReason);
    else
        screen->setFocus(Qt::OtherFocusReason);
}

QSize ScreenWindow::designSize() const {
    const QMargins frame = contentsMargins();
    return widget() ? widget()->size().grownBy(frame) : size();
}

void ScreenWindow::changeEvent(QEvent* event) {
    if (event->type() != QEvent::WindowStateChange) {
        QMdiSubWindow::changeEvent(event);
        return;
    }
    // The control Qt moves the keyboard to while it changes the window's state is not the
    // operator's choice.
    const QPointer<QWidget> keyboard = lastFocus_;
    QMdiSubWindow::changeEvent(event);
    lastFocus_ = keyboard;
}

void ScreenWindow::closeEvent(QCloseEvent* event) {
    QMdiSubWindow::closeEvent(event);
    if (!event->isAccepted())
        return;
    if (QWidget* screen = widget()) {
        screen->hide();
        setWidget(nullptr);
        ui::deleteOutsideWaits(screen);
    }
    emit closed(this);
}

} // namespace convodesk::app
