#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

namespace convodesk::ui {

// The Tab order of one child window. Qt's focus chain spans the whole main window; a child
// window keeps Tab and Shift+Tab inside its own controls with this (from focusNextPrevChild).
class TabCycle {
public:
    // Sets Qt's focus chain to `order` as well.
    void setOrder(const QList<QWidget*>& order);
    QList<QWidget*> order() const;

    // Moves the focus to the next (or previous) control of the cycle that can take it, starting
    // from the control that has the focus now. Returns false if no control could take it.
    bool moveFocus(bool next) const;

private:
    QList<QPointer<QWidget>> order_;
};

} // namespace convodesk::ui
