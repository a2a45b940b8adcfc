#pragma once

#include "RowSource.h"

#include <vector>

namespace convodesk::data::query {

// Some columns of another row, in an order of their own: column i is `columns[i]` there.
class ColumnSubset : public RowValues {
public:
    ColumnSubset(RowValues& row, const std::vector<int>& columns) : row_(row), columns_(columns) {}
    jet4::Value value(int column) override { return row_.value(columns_[column]); }
    TextRead textView(int column, QStringView& text) override {
        return row_.textView(columns_[column], text);
    }

private:
    RowValues& row_;
    const std::vector<int>& columns_;
};

} // namespace convodesk::data::query
