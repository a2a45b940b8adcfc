#include "JoinedRow.h"

#include <algorithm>

namespace convodesk::data::query {

JoinedRow::JoinedRow(const std::vector<int>& offsets, int width)
    : sourceOf_(width, 0), offsets_(offsets), rows_(offsets.size(), nullptr) {
    for (std::size_t s = 1; s < offsets_.size(); ++s)
        std::fill(sourceOf_.begin() + offsets_[s], sourceOf_.end(), static_cast<int>(s));
    const int firstWidth = offsets_.size() > 1 ? offsets_[1] : width;
    firstValues_.resize(firstWidth);
    firstRead_.resize(firstWidth, false);
}

void JoinedRow::setFirst(RowSource* first) {
    first_ = first;
    std::fill(firstRead_.begin(), firstRead_.end(), false);
}

void JoinedRow::clear() {
    setFirst(nullptr);
    std::fill(rows_.begin(), rows_.end(), nullptr);
}

jet4::Value JoinedRow::value(int column) {
    const int source = sourceOf_[column];
    if (source == 0) {
        if (!first_)
            return jet4::Value();
        if (!firstRead_[column]) {
            firstValues_[column] = first_->value(column);
            firstRead_[column] = true;
        }
        return firstValues_[column];
    }
    const std::vector<jet4::Value>* row = rows_[source];
    return row ? (*row)[column - offsets_[source]] : jet4::Value();
}

TextRead JoinedRow::textView(int column, QStringView& text) {
    // The first source's row is still in its stream: its text can be seen without a string.
    if (sourceOf_[column] == 0 && first_ && !firstRead_[column])
        return first_->textView(column, text);
    return TextRead::NotText;
}

std::vector<jet4::Value> JoinedRow::build(const std::vector<bool>& used) {
    std::vector<jet4::Value> row(sourceOf_.size());
    for (std::size_t c = 0; c < row.size(); ++c)
        if (used[c])
            row[c] = value(static_cast<int>(c));
    return row;
}

} // namespace convodesk::data::query
