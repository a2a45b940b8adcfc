#include "TabCycle.h"

#include <QApplication>

namespace convodesk::ui {

namespace {

bool canTakeTabFocus(const QWidget* w) {
    return w && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(w->window());
}

} // namespace

void TabCycle::setOrder(const QList<QWidget*>& order) {
    order_.clear();
    for (QWidget* w : order)
        order_.append(w);
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

QList<QWidget*> TabCycle::order() const {
    QList<QWidget*> widgets;
    for (const QPointer<QWidget>& w : order_)
        widgets.append(w.data());
    return widgets;
}

bool TabCycle::moveFocus(bool next) const {
    const qsizetype count = order_.size();
    if (count == 0)
        return false;
    qsizetype current = -1;
    for (qsizetype i = 0; i < count; ++i)
        if (order_[i] && order_[i] == QApplication::focusWidget())
            current = i;
    const qsizetype step = next ? 1 : count - 1;
    qsizetype i = current < 0 ? (next ? count - 1 : 0) : current;
    for (qsizetype tried = 0; tried < count; ++tried) {
        i = (i + step) % count;
        QWidget* w = order_[i];
        if (canTakeTabFocus(w)) {
            w->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
    }
    return false;
}

} // namespace convodesk::ui
