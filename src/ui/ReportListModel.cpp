#include "ReportListModel.h"

namespace convodesk::ui {

ReportListModel::ReportListModel(std::vector<ReportColumn> columns, QObject* parent)
    : QAbstractTableModel(parent), columns_(std::move(columns)), cells_(int(columns_.size())) {}

int ReportListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : cells_.rowCount();
}

int ReportListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(columns_.size()) + 1;
}

Qt::ItemFlags ReportListModel::flags(const QModelIndex& index) const {
    if (index.column() >= int(columns_.size()))
        return Qt::NoItemFlags;
    return QAbstractTableModel::flags(index);
}

QVariant ReportListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !validCell(index.row(), index.column()))
        return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return cell(index.row(), index.column());
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(
            Qt::Alignment(columns_[size_t(index.column())].alignment | Qt::AlignVCenter));
    return {};
}

QVariant ReportListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && section == int(columns_.size()))
        return role == Qt::DisplayRole ? QVariant(QString()) : QVariant();
    if (orientation != Qt::Horizontal || section < 0 || section >= int(columns_.size()))
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return columns_[size_t(section)].header;
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(columns_[size_t(section)].alignment | Qt::AlignVCenter));
    return {};
}

void ReportListModel::removeAll() {
    if (batchDepth_ == 0)
        beginResetModel();
    cells_.clear();
    if (batchDepth_ == 0)
        endResetModel();
}

int ReportListModel::append(QStringView text) {
    const int row = cells_.rowCount();
    if (batchDepth_ == 0)
        beginInsertRows({}, row, row);
    cells_.appendRow();
    cells_.set(row, 0, text);
    if (batchDepth_ == 0)
        endInsertRows();
    return row;
}

void ReportListModel::setCell(int row, int column, QStringView text) {
    if (!validCell(row, column))
        return;
    cells_.set(row, column, text);
    if (batchDepth_ == 0) {
        const QModelIndex changed = index(row, column);
        emit dataChanged(changed, changed, {Qt::DisplayRole});
    }
}

QString ReportListModel::cell(int row, int column) const {
    return cells_.at(row, column);
}

void ReportListModel::beginBatch() {
    if (batchDepth_++ == 0)
        beginResetModel();
}

void ReportListModel::endBatch() {
    if (batchDepth_ > 0 && --batchDepth_ == 0)
        endResetModel();
}

bool ReportListModel::validCell(int row, int column) const {
    return row >= 0 && row < cells_.rowCount() && column >= 0 && column < int(columns_.size());
}

} // namespace convodesk::ui
