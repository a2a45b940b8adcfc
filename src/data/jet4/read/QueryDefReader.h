#pragma once

#include "TableCursor.h"
#include "data/jet4/QueryDef.h"
#include "data/jet4/TableDef.h"

#include <QHash>
#include <vector>

namespace convodesk::jet4 {

// One MSysQueries row.
struct QueryRow {
    int attribute = 0;
    QString name1;
    QString name2;
    QString expression;
    int flag = 0;
};

// All MSysQueries rows, grouped by ObjectId, each group in the table's row order.
QHash<std::uint32_t, std::vector<QueryRow>> readQueryRows(TableCursor& cursor, const TableDef& queries);

// The definition these rows describe.
QueryDef buildQueryDef(const QString& name, const std::vector<QueryRow>& rows);

} // namespace convodesk::jet4
