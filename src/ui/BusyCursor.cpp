#include "BusyCursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace convodesk::ui {

BusyCursor::BusyCursor() {
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

BusyCursor::~BusyCursor() {
    QGuiApplication::restoreOverrideCursor();
}

} // namespace convodesk::ui
