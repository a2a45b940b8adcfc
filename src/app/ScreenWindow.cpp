#include "ScreenWindow.h"

#include "modGeneral.h"

#include <QCloseEvent>

namespace convodesk::app {

ScreenWindow::ScreenWindow(QWidget* screen) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWidget(screen);
    setWindowTitle(screen->windowTitle());
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
