#pragma once

#include "RowSource.h"

#include <memory>
#include <vector>

namespace convodesk::data::query {

// The rows of another source under column labels of the caller's (as many as the source has).
class RelabelledRowSource : public RowSource {
public:
    RelabelledRowSource(std::vector<ColumnInfo> columns, std::unique_ptr<RowSource> rows)
        : columns_(std::move(columns)), rows_(std::move(rows)) {}
    const std::vector<ColumnInfo>& columns() const override { return columns_; }
    bool next() override { return rows_->next(); }
    jet4::Value value(int column) override { return rows_->value(column); }
    TextRead textView(int column, QStringView& text) override { return rows_->textView(column, text); }
    std::uint32_t rowPointer() const override { return rows_->rowPointer(); }

private:
    std::vector<ColumnInfo> columns_;
    std::unique_ptr<RowSource> rows_;
};

} // namespace convodesk::data::query
