#pragma once

#include "IndexWalker.h"
#include "TableCursor.h"
#include "data/jet4/QueryDef.h"
#include "data/jet4/SortOrder.h"
#include "data/jet4/TableDef.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace convodesk::jet4 {

// A Jet 4 file opened read-only. The whole reader is bounded by the file's size: a damaged
// file ends in Error(Damaged, ...) naming the file and the object, never a crash or a hang.
class Database {
public:
    // Throws Error: Io, NotDatabase, Jet3, Accdb, Encrypted, Damaged.
    static std::shared_ptr<Database> open(const QString& path);
    // The same checks on a file's bytes held in memory; `name` stands for the file in messages.
    static std::shared_ptr<Database> openBytes(const QByteArray& bytes, const QString& name);
    ~Database();

    QString path() const;
    // The sort order the header names: the order texts are compared in.
    SortOrder sortOrder() const;

    QStringList tableNames() const;       // user tables, catalog order
    QStringList queryNames() const;       // stored queries (MSysObjects type 5)
    QStringList linkedTableNames() const; // linked tables (type 4 and 6)

    // Finds a user or system table by name, ignoring letter case; nullptr if none.
    // Throws Error(Unsupported, "... linked table not supported ...") for a linked table.
    const TableDef* findTable(QStringView name) const;
    // Decodes the stored query with this name (letter case ignored); nullopt if none.
    std::optional<QueryDef> findQuery(QStringView name) const;

    // A forward cursor over the table's rows in page order (see TableCursor::next for the
    // row count check at its end).
    std::unique_ptr<TableCursor> openCursor(const TableDef& table) const;

    // Rows of `table` that may have `value` in column `columnIndex`, found by seeking an index
    // whose first column it is: a cursor over those rows only, in index order. The caller tests
    // each row against its whole condition again (a text seek finds the texts whose letters
    // match, whatever their case, accents and punctuation). nullptr when no index can answer: no
    // such index, a text column in another sort order than General, a value the column cannot
    // hold exactly (12.5 or the text "12" for a Long), a Null, or an index that is damaged or
    // names rows that are not there; the caller then scans.
    std::unique_ptr<TableCursor> openSeek(const TableDef& table, int columnIndex, const Value& value) const;
    // The entries of physical index `realIndex` (into TableDef::realIndexes) of `table`, from
    // the first: IndexWalker checks every page it reaches and throws Error(Damaged) on damage.
    std::unique_ptr<IndexWalker> walkIndex(const TableDef& table, int realIndex) const;
    // The rows whose entry in physical index `realIndex` has a key starting with `keyPrefix`, in
    // index order. nullptr when the index cannot be trusted for them: damaged on the way, or an
    // entry naming a row that is not there (the index lags behind the table; a scan answers).
    // The rows stored at `rows` (row pointers a cursor over `table` gave), in that order. A
    // pointer that no longer leads to a live row of the table (the file changed) is damage.
    std::unique_ptr<TableCursor> openRows(const TableDef& table, std::vector<std::uint32_t> rows) const;
    std::unique_ptr<TableCursor> openIndexRange(const TableDef& table, int realIndex,
                                                QByteArrayView keyPrefix) const;

    // Counts the table's rows and compares them with the count its definition stores (a
    // cursor that reports rows gone missing instead of throwing).
    struct RowCountCheck {
        std::int64_t stored = 0;
        std::int64_t counted = 0;
        bool rowsMissing() const { return counted < stored; }
    };
    RowCountCheck checkRowCount(const TableDef& table) const;

    class Impl;

private:
    explicit Database(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

} // namespace convodesk::jet4
