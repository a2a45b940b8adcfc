#pragma once

#include "data/jet4/QueryDef.h"
#include "data/jet4/Value.h"

#include <cstdint>
#include <vector>

namespace convodesk::jet4 {

// Turns a stored query into its MSysQueries rows (ObjectId, Attribute, Order, Name1, Name2,
// Expression, Flag, LvExtra) in the order Access writes them.
class QueryRowsEncoder {
public:
    static std::vector<std::vector<Value>> encode(const QueryDef& query, std::int32_t objectId);
    // The MSysObjects Flags value of a query of this kind.
    static std::int32_t catalogFlags(QueryDef::Kind kind);
};

} // namespace convodesk::jet4
