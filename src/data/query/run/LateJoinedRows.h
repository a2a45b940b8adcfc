#pragma once

#include "JoinedRow.h"
#include "RowSource.h"

#include <memory>
#include <vector>

namespace convodesk::data::query {

// Joined rows kept small until read: the first table's rows come from the file one by one (in
// the order wanted), and each is joined again with the rows of the other sources that matched
// it, held in memory; the outputs are columns of the joined row.
class LateJoinedRows : public RowSource {
public:
    // `outputs`: the joined row's column behind each of `columns`; `first`: the first table's
    // rows; `held[s]`: the rows of source s > 0; `matches`: for each row of `first`, the index in
    // held[s] of the row of each source s > 0 joined to it (-1: none, its columns Null);
    // `offsets` and `width`: the joined row's layout (see JoinedRow).
    LateJoinedRows(std::vector<ColumnInfo> columns, std::vector<int> outputs,
                   std::unique_ptr<RowSource> first, std::vector<RowSet> held, std::vector<int> matches,
                   const std::vector<int>& offsets, int width);

    const std::vector<ColumnInfo>& columns() const override { return columns_; }
    bool next() override;
    jet4::Value value(int column) override { return row_.value(outputs_[column]); }
    TextRead textView(int column, QStringView& text) override {
        return row_.textView(outputs_[column], text);
    }

private:
    std::vector<ColumnInfo> columns_;
    std::vector<int> outputs_;
    std::unique_ptr<RowSource> first_;
    std::vector<RowSet> held_;
    std::vector<int> matches_;
    std::size_t others_;
    std::size_t read_ = 0; // rows of `first_` read so far
    JoinedRow row_;
};

} // namespace convodesk::data::query
