#pragma once

#include "PageStore.h"
#include "Writer.h"

namespace convodesk::jet4 {

// Lays out a whole new file in memory: header, catalog, query rows, user tables, long values
// and usage maps. The input has passed WriterInputCheck; row values are checked here.
class DatabaseImage {
public:
    static PageStore build(const std::vector<WriterTable>& tables, const std::vector<QueryDef>& queries,
                           double nowDays);
};

} // namespace convodesk::jet4
