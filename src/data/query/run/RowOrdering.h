#pragma once

#include "RowSource.h"
#include "data/query/eval/Evaluator.h"

#include <memory>
#include <vector>

namespace convodesk::data::query {

// Sorts rows stably by bound keys (each ascending or descending), Nulls first.
void sortRows(std::vector<std::vector<jet4::Value>>& rows,
              const std::vector<std::pair<std::unique_ptr<BoundExpr>, bool>>& keys);

// Keeps the first of each run of rows equal in every column (text ignoring letter case).
void removeDuplicateRows(std::vector<std::vector<jet4::Value>>& rows);

} // namespace convodesk::data::query
