#pragma once

#include "data/jet4/TableDef.h"
#include "data/jet4/Value.h"

#include <optional>

namespace convodesk::jet4 {

// `value` as a value of `column` would be read from a row (the kind RowDecoder gives that
// column's type), when it converts exactly and an equal stored value has exactly one index key.
// Nothing when it does not: a Long column and 12.5 or the text "12", a number out of the
// column's range, a Null, a zero of a floating type (0 and -0 are equal but keyed apart),
// types a seek does not serve. The caller then scans.
std::optional<Value> seekValue(const ColumnDef& column, const Value& value);

} // namespace convodesk::jet4
