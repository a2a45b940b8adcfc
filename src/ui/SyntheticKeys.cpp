#include "SyntheticKeys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace convodesk::ui {

void postBackspace() {
    QWidget* target = QApplication::focusWidget();
    if (!target)
        return;
    QApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier));
    QApplication::postEvent(target, new QKeyEvent(QEvent::KeyRelease, Qt::Key_Backspace, Qt::NoModifier));
}

} // namespace convodesk::ui
