#pragma once

#include "CatalogReader.h"
#include "Database.h"
#include "IndexWalker.h"
#include "PageReader.h"
#include "QueryDefReader.h"
#include "data/jet4/SortOrder.h"

#include <QHash>
#include <QMutex>
#include <optional>

namespace convodesk::jet4 {

// The state behind a Database: the file's pages, its catalog and the definitions read so far.
class Database::Impl {
public:
    explicit Impl(std::shared_ptr<const PageReader> file);

    const PageReader& file() const { return *file_; }
    SortOrder sortOrder() const { return sortOrder_; }
    QStringList names(bool (CatalogEntry::*kind)() const, bool userOnly) const;
    const TableDef* findTable(QStringView name);
    std::optional<QueryDef> findQuery(QStringView name);
    std::unique_ptr<TableCursor> openCursor(const TableDef& table, bool countChecked = true);
    std::unique_ptr<IndexWalker> walkIndex(const TableDef& table, int realIndex);
    std::unique_ptr<TableCursor> openRows(const TableDef& table, std::vector<std::uint32_t> rows);
    std::unique_ptr<TableCursor> openIndexRange(const TableDef& table, int realIndex,
                                                QByteArrayView keyPrefix);
    std::unique_ptr<TableCursor> openSeek(const TableDef& table, int columnIndex, const Value& value);

private:
    struct LoadedTable {
        std::shared_ptr<const TableDef> def;
        std::uint32_t usedPagesMap = 0;
        // A user table's row count is kept exact by the database; a system table's (as
        // MSysQueries in real files) may lag behind and is not compared.
        bool countChecked = false;
    };
    const CatalogEntry* entry(QStringView name, bool (CatalogEntry::*kind)() const) const;
    const LoadedTable& load(const CatalogEntry& entry);
    // The loaded table `table` is; Error(NotFound) if it was not found through this database.
    LoadedTable loaded(const TableDef& table);

    std::shared_ptr<const PageReader> file_;
    std::vector<CatalogEntry> catalog_;
    SortOrder sortOrder_;
    QMutex mutex_;      // guards tables_
    QMutex queryMutex_; // guards queryRows_
    QHash<std::uint32_t, LoadedTable> tables_;
    std::optional<QHash<std::uint32_t, std::vector<QueryRow>>> queryRows_;
};

} // namespace convodesk::jet4
