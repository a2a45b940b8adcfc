#pragma once

#include "Writer.h"

#include <vector>

namespace convodesk::jet4 {

// Column lists of the system tables a written file carries, as Access lays them out.
struct SystemTables {
    static std::vector<WriterColumn> catalogColumns(); // MSysObjects, 17 columns
    static std::vector<WriterColumn> queryColumns();   // MSysQueries, 8 columns
};

} // namespace convodesk::jet4
