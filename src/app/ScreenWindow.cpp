#include "ScreenWindow.h"

#include "modGeneral.h"

#include <QAction>
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
}

QSize ScreenWindow::designSize() const {
    const QMargins frame = contentsMargins();
    return widget() ? widget()->size().grownBy(frame) : size();
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
