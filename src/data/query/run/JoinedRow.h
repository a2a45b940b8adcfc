#pragma once

#include "RowSource.h"

#include <vector>

namespace convodesk::data::query {

// One row of several joined sources as a condition reads it: the first source's current row
// straight from its stream (each value decoded at most once per row), the rows matched in the
// other sources from memory, and Null for every column of a source without a row.
class JoinedRow : public RowValues {
public:
    // `offsets`: where each source's columns start in the combined layout of `width` columns.
    JoinedRow(const std::vector<int>& offsets, int width);

    // The first source's current row; nullptr makes its columns Null.
    void setFirst(RowSource* first);
    // The row of source `source` (> 0); nullptr makes its columns Null.
    void setRow(int source, const std::vector<jet4::Value>* row) { rows_[source] = row; }
    // Every source Null.
    void clear();

    jet4::Value value(int column) override;
    TextRead textView(int column, QStringView& text) override;
    // The combined row with the `used` columns filled in and Null elsewhere.
    std::vector<jet4::Value> build(const std::vector<bool>& used);

private:
    std::vector<int> sourceOf_;
    std::vector<int> offsets_;
    RowSource* first_ = nullptr;
    std::vector<const std::vector<jet4::Value>*> rows_;
    std::vector<jet4::Value> firstValues_;
    std::vector<bool> firstRead_;
};

} // namespace convodesk::data::query
