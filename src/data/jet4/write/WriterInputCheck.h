#pragma once

#include "Writer.h"

namespace convodesk::jet4 {

// Checks the names and column lists given to writeDatabase() before anything is written.
// Throws Error(InvalidInput) with a message naming the table, query or column.
class WriterInputCheck {
public:
    static void check(const std::vector<WriterTable>& tables, const std::vector<QueryDef>& queries);
};

} // namespace convodesk::jet4
