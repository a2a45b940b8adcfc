#include "DeferredRowSource.h"

namespace convodesk::data::query {

DeferredRowSource::DeferredRowSource(std::vector<ColumnInfo> columns, Open open)
    : columns_(std::move(columns)), open_(std::move(open)) {}

bool DeferredRowSource::next() {
    if (!rows_) {
        rows_ = open_();
        open_ = nullptr;
    }
    return rows_->next();
}

} // namespace convodesk::data::query
