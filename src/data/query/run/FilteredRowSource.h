#pragma once

#include "RowSource.h"
#include "data/query/eval/Evaluator.h"

#include <memory>

namespace convodesk::data::query {

// The rows of another source that pass a condition over that source's own columns.
class FilteredRowSource : public RowSource {
public:
    // Throws DataError(NoSuchField) naming `sourceName` when the condition names a missing field.
    FilteredRowSource(std::unique_ptr<RowSource> rows, const Expr& condition, const QString& sourceName,
                      const BindContext& context = {});
    const std::vector<ColumnInfo>& columns() const override { return rows_->columns(); }
    bool next() override;
    jet4::Value value(int column) override { return rows_->value(column); }
    TextRead textView(int column, QStringView& text) override { return rows_->textView(column, text); }
    std::size_t expectedRows() const override { return rows_->expectedRows(); } // at most
    std::uint32_t rowPointer() const override { return rows_->rowPointer(); }

private:
    std::unique_ptr<RowSource> rows_;
    BoundExpr condition_;
};

} // namespace convodesk::data::query
