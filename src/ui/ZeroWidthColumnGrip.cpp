#include "ZeroWidthColumnGrip.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <algorithm>

namespace convodesk::ui {

namespace {
// Pixels left and right of the line that grab the zero-width column rather than its neighbour.
constexpr int reachLeft = 2;
constexpr int reachRight = 5;
} // namespace

ZeroWidthColumnGrip::ZeroWidthColumnGrip(QHeaderView& header, int lastColumn)
    : QObject(&header), header_(header), viewport_(header.viewport()), lastColumn_(lastColumn) {
    viewport_->installEventFilter(this);
}

int ZeroWidthColumnGrip::columnAt(int x) const {
    for (int column = 0; column <= lastColumn_ && column < header_.count(); ++column) {
        if (header_.sectionSize(column) != 0 || header_.isSectionHidden(column))
            continue;
        const int line = header_.sectionViewportPosition(column);
        if (x >= line - reachLeft && x < line + reachRight)
            return column;
    }
    return -1;
}

bool ZeroWidthColumnGrip::eventFilter(QObject* watched, QEvent* event) {
    // The stored viewport: while the header is being destroyed it is no header any more.
    if (watched != viewport_)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton)
            return false;
        pressX_ = qRound(mouse->position().x());
        dragged_ = columnAt(pressX_);
        return dragged_ >= 0;
    }
    case QEvent::MouseMove:
        if (dragged_ < 0)
            return false;
        // The column opens by as much as the pointer has moved, as a divider drag does.
        header_.resizeSection(
            dragged_, std::max(0, qRound(static_cast<QMouseEvent*>(event)->position().x()) - pressX_));
        return true;
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        if (dragged_ < 0)
            return false;
        if (event->type() == QEvent::MouseButtonRelease)
            dragged_ = -1;
        return true;
    default:
        return false;
    }
}

} // namespace convodesk::ui
