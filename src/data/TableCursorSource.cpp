#include "TableCursorSource.h"

namespace convodesk::data {

TableCursorSource::TableCursorSource(const jet4::TableDef& table, std::unique_ptr<jet4::TableCursor> cursor)
    : cursor_(std::move(cursor)), expectedRows_(table.storedRowCount) {
    for (const jet4::ColumnDef& column : table.columns)
        columns_.push_back({table.name, column.name});
}

} // namespace convodesk::data
