#include "ReportList.h"

#include "Twips.h"

#include <QHeaderView>

namespace convodesk::ui {

namespace {
constexpr int trailingRoomPixels = 24;
}

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
    const int trailingRoom = int(cols.size());
    head->setSectionResizeMode(trailingRoom, QHeaderView::Fixed);
    head->resizeSection(trailingRoom, trailingRoomPixels);
}

} // namespace convodesk::ui
