#include "LateJoinedRows.h"

namespace convodesk::data::query {

LateJoinedRows::LateJoinedRows(std::vector<ColumnInfo> columns, std::vector<int> outputs,
                               std::unique_ptr<RowSource> first, std::vector<RowSet> held,
                               std::vector<int> matches, const std::vector<int>& offsets, int width)
    : columns_(std::move(columns)), outputs_(std::move(outputs)), first_(std::move(first)),
      held_(std::move(held)), matches_(std::move(matches)), others_(offsets.size() - 1),
      row_(offsets, width) {}

bool LateJoinedRows::next() {
    row_.clear();
    const std::size_t at = read_ * others_;
    if (at + others_ > matches_.size() || !first_->next())
        return false;
    ++read_;
    row_.setFirst(first_.get());
    for (std::size_t s = 1; s <= others_; ++s) {
        const int match = matches_[at + s - 1];
        const auto& rows = held_[s].rows;
        row_.setRow(static_cast<int>(s),
                    match >= 0 && static_cast<std::size_t>(match) < rows.size() ? &rows[match] : nullptr);
    }
    return true;
}

} // namespace convodesk::data::query
