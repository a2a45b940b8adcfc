#pragma once

#include "data/jet4/TableDef.h"
#include "data/jet4/read/TableCursor.h"
#include "data/query/run/RowSource.h"

#include <memory>

namespace convodesk::data {

// A stored table's rows for the query engine; values are decoded only when read.
class TableCursorSource : public query::RowSource {
public:
    TableCursorSource(const jet4::TableDef& table, std::unique_ptr<jet4::TableCursor> cursor);
    const std::vector<query::ColumnInfo>& columns() const override { return columns_; }
    bool next() override { return cursor_->next(); }
    jet4::Value value(int column) override { return cursor_->value(column); }
    query::TextRead textView(int column, QStringView& text) override {
        return cursor_->textView(column, text);
    }
    std::uint32_t rowPointer() const override { return cursor_->rowPointer(); }
    std::size_t expectedRows() const override { return expectedRows_; }

private:
    std::vector<query::ColumnInfo> columns_;
    std::unique_ptr<jet4::TableCursor> cursor_;
    std::size_t expectedRows_ = 0;
};

} // namespace convodesk::data
