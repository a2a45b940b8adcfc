#pragma once

#include "Catalog.h"
#include "RowSource.h"
#include "data/query/parse/Expr.h"

#include <memory>

namespace convodesk::data::query {

// Rows of a stored table for a condition with a part "column = constant" an index can answer:
// the rows the catalog finds for the first such part, still to be tested against the whole
// condition. nullptr when no part can be answered so (the table is read whole).
std::unique_ptr<RowSource> openBySeek(Catalog& catalog, const QString& table, const Expr& condition);

// Every row whose `column` a condition's "=" finds equal to `value`, and maybe others, through
// the catalog's index: a text is sought under each spelling whose sort codes differ
// (CaseVariants). nullptr when the index cannot answer.
std::unique_ptr<RowSource> openEqualBySeek(Catalog& catalog, const QString& table, const QString& column,
                                           const jet4::Value& value);

} // namespace convodesk::data::query
