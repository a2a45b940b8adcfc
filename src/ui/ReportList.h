#pragma once

#include "ReportListModel.h"

#include <QTreeView>

namespace convodesk::ui {

// A list in report view: fixed columns with captions, per-column alignment and widths in
// twips. A column of width 0 takes no room but its divider can be dragged open (and shut).
class ReportList : public QTreeView {
    Q_OBJECT
public:
    explicit ReportList(std::vector<ReportColumn> columns, QWidget* parent = nullptr);

    // The operations the screens fill their lists with.
    void removeAll() { model_->removeAll(); }
    int addItem(QStringView text) { return model_->append(text); }
    // Index 0 is the item's own text, 1 and up its sub-items.
    void setSubItemText(int row, int index, QStringView text) { model_->setCell(row, index, text); }
    QString subItemText(int row, int index) const { return model_->cell(row, index); }
    int itemCount() const { return model_->rowCount(); }

    ReportListModel& listModel() const { return *model_; }

    // Appends during the lifetime of a Batch are told to the view once, at its end.
    class Batch {
    public:
        explicit Batch(ReportList& list) : model_(*list.model_) { model_.beginBatch(); }
        ~Batch() { model_.endBatch(); }
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        ReportListModel& model_;
    };

protected:
    bool viewportEvent(QEvent* event) override;

private:
    // The empty column after the list's own, sized to fill the rest of the view.
    int trailingColumn() const;
    void fitTrailingColumn();

    ReportListModel* model_;
};

} // namespace convodesk::ui
