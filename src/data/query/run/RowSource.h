#pragma once

#include "data/jet4/Value.h"
#include "data/jet4/read/TableCursor.h"

#include <QString>
#include <vector>

namespace convodesk::data::query {

// A column of a row layout: the table (or alias) it comes from and its name.
struct ColumnInfo {
    QString table;
    QString name;
};

using TextRead = jet4::TableCursor::TextRead;

// Values of the current row by column index, decoded on demand.
class RowValues {
public:
    virtual ~RowValues() = default;
    virtual jet4::Value value(int column) = 0;
    // A text column viewed without building a string, where the source can do that (a stored
    // table); NotText means "read it with value()". The view holds until the next call.
    virtual TextRead textView(int column, QStringView& text) {
        (void)column;
        (void)text;
        return TextRead::NotText;
    }
};

// Rows read forward: a stored table's cursor or rows already computed.
class RowSource : public RowValues {
public:
    virtual const std::vector<ColumnInfo>& columns() const = 0;
    virtual bool next() = 0;
    // Where a stored table's current row is kept (see jet4::TableCursor::rowPointer); 0 when
    // the rows are not a stored table's.
    virtual std::uint32_t rowPointer() const { return 0; }
    // About how many rows next() will give, to make room for them ahead (a stored table's row
    // count, which the file may state wrongly); 0 when unknown.
    virtual std::size_t expectedRows() const { return 0; }
};

// Rows held in memory; also the result of running a query.
struct RowSet {
    std::vector<ColumnInfo> columns;
    std::vector<std::vector<jet4::Value>> rows;
};

class RowSetSource : public RowSource {
public:
    explicit RowSetSource(RowSet rows) : rows_(std::move(rows)) {}
    const std::vector<ColumnInfo>& columns() const override { return rows_.columns; }
    // Reading is forward only, so a row is let go as soon as the reader has moved past it:
    // a long result read to the end never holds its rows twice (here and in the caller).
    bool next() override {
        if (current_ >= 0 && current_ < static_cast<long long>(rows_.rows.size()))
            std::vector<jet4::Value>().swap(rows_.rows[current_]);
        return ++current_ < static_cast<long long>(rows_.rows.size());
    }
    jet4::Value value(int column) override { return rows_.rows[current_][column]; }

private:
    RowSet rows_;
    long long current_ = -1;
};

// Values of a row already held in memory.
class VectorRow : public RowValues {
public:
    explicit VectorRow(const std::vector<jet4::Value>& row) : row_(row) {}
    jet4::Value value(int column) override { return row_[column]; }

private:
    const std::vector<jet4::Value>& row_;
};

} // namespace convodesk::data::query
