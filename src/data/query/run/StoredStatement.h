#pragma once

#include "data/jet4/QueryDef.h"
#include "data/query/parse/SelectStatement.h"

#include <memory>

namespace convodesk::data::query {

// The SELECT a stored query's definition describes, every expression parsed. Throws
// DataError: UnsupportedQuery for an action query, a crosstab or what this program cannot
// read or a definition whose rows contradict each other (an unknown join type, two WHERE
// rows); ParameterMissing for a query with parameters.
std::shared_ptr<const SelectStatement> storedStatement(const jet4::QueryDef& def);

// "The stored query 'X' uses Y, which this program cannot run."; for a query text (no
// name) "The query uses Y, ...".
QString storedQueryRefusal(const QString& queryName, const QString& construct);

} // namespace convodesk::data::query
