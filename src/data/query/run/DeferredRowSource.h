#pragma once

#include "RowSource.h"

#include <functional>
#include <memory>

namespace convodesk::data::query {

// Rows whose columns are known at once but which are produced only when the first row is
// asked for: a stored query opened as a table runs only if someone reads it.
class DeferredRowSource : public RowSource {
public:
    using Open = std::function<std::unique_ptr<RowSource>()>;
    DeferredRowSource(std::vector<ColumnInfo> columns, Open open);

    const std::vector<ColumnInfo>& columns() const override { return columns_; }
    bool next() override;
    jet4::Value value(int column) override { return rows_->value(column); }
    TextRead textView(int column, QStringView& text) override { return rows_->textView(column, text); }
    bool started() const { return rows_ != nullptr; }

private:
    std::vector<ColumnInfo> columns_;
    Open open_;
    std::unique_ptr<RowSource> rows_;
};

} // namespace convodesk::data::query
