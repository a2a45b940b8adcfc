#include "FilteredRowSource.h"

namespace convodesk::data::query {

FilteredRowSource::FilteredRowSource(std::unique_ptr<RowSource> rows, const Expr& condition,
                                     const QString& sourceName, const BindContext& context)
    : rows_(std::move(rows)), condition_(condition, rows_->columns(), sourceName, context) {}

bool FilteredRowSource::next() {
    while (rows_->next())
        if (condition_.passes(*rows_))
            return true;
    return false;
}

} // namespace convodesk::data::query
