#include "ReportList.h"

#include "Twips.h"
#include "ZeroWidthColumnGrip.h"

#include <QEvent>
#include <QHeaderView>
#include <algorithm>

namespace convodesk::ui {

ReportList::ReportList(std::vector<ReportColumn> columns, QWidget* parent)
    : QTreeView(parent), model_(new ReportListModel(std::move(columns), this)) {
    setModel(model_);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTextElideMode(Qt::ElideRight);

    QHeaderView* head = header();
    head->setStretchLastSection(false);
    head->setSectionsMovable(false);
    head->setMinimumSectionSize(0);
    head->setSectionResizeMode(QHeaderView::Interactive);
    const auto& cols = model_->columns();
    for (size_t i = 0; i < cols.size(); ++i)
        head->resizeSection(int(i), twipsToPixels(cols[i].widthTwips));
    // The empty trailing column takes whatever room is left, so columns that fit need no
    // scroll bar; zero-width columns are grabbed at their line even at the header's end.
    head->setSectionResizeMode(trailingColumn(), QHeaderView::Fixed);
    head->resizeSection(trailingColumn(), 0);
    connect(head, &QHeaderView::sectionResized, this, [this](int column) {
        if (column != trailingColumn())
            fitTrailingColumn();
    });
    new ZeroWidthColumnGrip(*head, trailingColumn() - 1);
}

int ReportList::trailingColumn() const {
    return int(model_->columns().size());
}

void ReportList::fitTrailingColumn() {
    QHeaderView* head = header();
    int used = 0;
    for (int column = 0; column < trailingColumn(); ++column)
        used += head->isSectionHidden(column) ? 0 : head->sectionSize(column);
    const int room = std::max(0, viewport()->width() - used);
    if (head->sectionSize(trailingColumn()) != room)
        head->resizeSection(trailingColumn(), room);
}

bool ReportList::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::Resize)
        fitTrailingColumn();
    return QTreeView::viewportEvent(event);
}

} // namespace convodesk::ui
