#include "DatabaseCatalog.h"

#include "TableCursorSource.h"
#include "data/jet4/read/Database.h"

namespace convodesk::data {

QString DatabaseCatalog::fileName() const {
    return database_->path();
}

std::unique_ptr<query::RowSource> DatabaseCatalog::openTable(const QString& name) {
    const jet4::TableDef* table = database_->findTable(name);
    if (!table)
        return nullptr;
    return std::make_unique<TableCursorSource>(*table, database_->openCursor(*table));
}

std::unique_ptr<query::RowSource> DatabaseCatalog::openTableSeek(const QString& name, const QString& column,
                                                                 const jet4::Value& value) {
    const jet4::TableDef* table = database_->findTable(name);
    if (!table)
        return nullptr;
    const int columnIndex = table->columnIndex(column);
    if (columnIndex < 0)
        return nullptr;
    std::unique_ptr<jet4::TableCursor> rows = database_->openSeek(*table, columnIndex, value);
    if (!rows)
        return nullptr;
    return std::make_unique<TableCursorSource>(*table, std::move(rows));
}

std::unique_ptr<query::RowSource> DatabaseCatalog::openTableRows(const QString& name,
                                                                 std::vector<std::uint32_t>&& rows) {
    const jet4::TableDef* table = database_->findTable(name);
    if (!table)
        return nullptr;
    return std::make_unique<TableCursorSource>(*table, database_->openRows(*table, std::move(rows)));
}

jet4::SortOrder DatabaseCatalog::textSortOrder() const {
    return database_->sortOrder();
}

std::optional<jet4::QueryDef> DatabaseCatalog::findQuery(const QString& name) {
    return database_->findQuery(name);
}

} // namespace convodesk::data
