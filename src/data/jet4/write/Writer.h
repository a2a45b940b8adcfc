#pragma once

#include "data/jet4/ColumnType.h"
#include "data/jet4/QueryDef.h"
#include "data/jet4/Value.h"

#include <QString>
#include <vector>

namespace convodesk::jet4 {

struct WriterColumn {
    QString name;
    ColumnType type = ColumnType::Text;
    int maxChars = 255; // Text only: 1..255
};

struct WriterTable {
    QString name;
    std::vector<WriterColumn> columns;
    std::vector<std::vector<Value>> rows; // one Value per column; Null allowed but for Boolean
    // The primary key's columns, in key order (1 to 10 names; none: the table has no key). The
    // file gets a unique index "PrimaryKey" on them; every row needs a value in each, and no two
    // rows the same key (texts differing only in letter case or trailing spaces are the same).
    std::vector<QString> primaryKey;
};

// Empty if the name can be given to a table, column or query; otherwise what is wrong with it.
QString objectNameProblem(const QString& name);

// Jet keeps a row on one page: the bytes a row may take, and what this row would take.
// Texts count 2 bytes a character; a memo over 64 bytes takes 12 bytes in the row.
// storedRowBytes throws Error(InvalidInput) for a value its column cannot hold.
int maxRowBytes();
int storedRowBytes(const std::vector<WriterColumn>& columns, const std::vector<Value>& row);

// Texts are stored as UCS-2; a leading U+FEFF (byte-order mark) is dropped, since readers take
// its bytes for the mark of compressed text.
// Writes a new Jet 4 file holding these user tables and stored SELECT queries.
// All or nothing: written under a temporary name in the target folder and renamed at the
// end; on failure no file is left behind. Throws Error (InvalidInput, Io).
void writeDatabase(const QString& path, const std::vector<WriterTable>& tables,
                   const std::vector<QueryDef>& queries);

} // namespace convodesk::jet4
