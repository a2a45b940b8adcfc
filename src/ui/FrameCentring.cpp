#include "FrameCentring.h"

#include "modGeneral.h"

#include <QEvent>
#include <QWidget>

namespace convodesk::ui {

void FrameCentring::keep(QWidget& form, QWidget& frame) {
    if (!frame.findChild<FrameCentring*>(QString(), Qt::FindDirectChildrenOnly))
        new FrameCentring(form, frame);
}

FrameCentring::FrameCentring(QWidget& form, QWidget& frame) : QObject(&frame), form_(&form), frame_(frame) {
    form.installEventFilter(this);
}

bool FrameCentring::eventFilter(QObject* watched, QEvent* event) {
    if (watched == form_ && event->type() == QEvent::Resize)
        CenterFrame(*form_, frame_);
    return QObject::eventFilter(watched, event);
}

} // namespace convodesk::ui
