#pragma once

#include "RowSource.h"

#include <memory>
#include <vector>

namespace convodesk::data::query {

// The rows of several sources of the same columns, one source after the other. Values are read
// only while next() last said true.
class ChainedRowSource : public RowSource {
public:
    // `parts` must not be empty.
    explicit ChainedRowSource(std::vector<std::unique_ptr<RowSource>> parts) : parts_(std::move(parts)) {}
    const std::vector<ColumnInfo>& columns() const override { return parts_.front()->columns(); }
    bool next() override;
    jet4::Value value(int column) override { return parts_[current_]->value(column); }
    TextRead textView(int column, QStringView& text) override {
        return parts_[current_]->textView(column, text);
    }

private:
    std::vector<std::unique_ptr<RowSource>> parts_;
    std::size_t current_ = 0;
};

} // namespace convodesk::data::query
