#pragma once

#include "RowSource.h"
#include "data/query/eval/Evaluator.h"

#include <memory>
#include <vector>

namespace convodesk::data::query {

// Sorts rows stably by bound keys (each ascending or descending), Nulls first.
void sortRows(std::vector<std::vector<jet4::Value>>& rows,
              const std::vector<std::pair<std::unique_ptr<BoundExpr>, bool>>& keys);

// The order sortRows puts rows in, given the keys of row i as keyValues[i * descending.size()
// ...] (descending[k]: key k is descending): the row indexes, sorted. Takes the keys' memory.
std::vector<std::size_t> sortedOrder(std::vector<jet4::Value> keyValues, const std::vector<bool>& descending);

// Keeps the first of each run of rows equal in every column (text ignoring letter case).
void removeDuplicateRows(std::vector<std::vector<jet4::Value>>& rows);

} // namespace convodesk::data::query
