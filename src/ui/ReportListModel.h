#pragma once

#include "PackedTextGrid.h"

#include <QAbstractTableModel>
#include <QString>
#include <vector>

namespace convodesk::ui {

// One column of a report list: caption, alignment of header and cells, width in twips.
struct ReportColumn {
    QString header;
    Qt::Alignment alignment = Qt::AlignLeft;
    double widthTwips = 0;
};

// Rows of texts with fixed columns, kept packed (PackedTextGrid: about four bytes a cell plus
// its text, repeated texts once). Alignment is per column, nothing is stored per cell beyond
// its text. Appends can be collected in a batch so
// that a list of 100,000 rows costs one model reset instead of one signal pair per row.
class ReportListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ReportListModel(std::vector<ReportColumn> columns, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    // One more than the list's columns: an empty trailing column fills the rest of the view,
    // so that the divider of a zero-width last column can still be grabbed and dragged open.
    int columnCount(const QModelIndex& parent = {}) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    const std::vector<ReportColumn>& columns() const { return columns_; }

    void removeAll();
    // Appends a row whose first cell is `text` and the others empty; returns its row.
    int append(QStringView text);
    // Cell `column` of `row`; out-of-range cells are ignored / read as the empty text.
    void setCell(int row, int column, QStringView text);
    QString cell(int row, int column) const;

    // While a batch is open, changes are not signalled one by one; closing the outermost
    // batch tells the views once.
    void beginBatch();
    void endBatch();

private:
    bool validCell(int row, int column) const;

    std::vector<ReportColumn> columns_;
    PackedTextGrid cells_;
    int batchDepth_ = 0;
};

} // namespace convodesk::ui
