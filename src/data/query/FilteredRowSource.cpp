#include "FilteredRowSource.h"

namespace convodesk::data::query {

FilteredRowSource::FilteredRowSource(std::unique_ptr<RowSource> rows, const Expr& condition,
                                     const QString& sourceName)
    : rows_(std::move(rows)), condition_(condition, rows_->columns(), sourceName) {}

bool FilteredRowSource::next() {
    while (rows_->next())
        if (condition_.passes(*rows_))
            return true;
    return false;
}

} // namespace convodesk::data::query
