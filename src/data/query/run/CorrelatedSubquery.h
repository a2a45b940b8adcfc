#pragma once

#include "RowSource.h"
#include "data/query/parse/SelectStatement.h"

#include <QHash>
#include <functional>
#include <memory>
#include <vector>

namespace convodesk::data::query {

// A field of a subquery that names a column of the query around it: no source of the
// subquery (nor of a subquery between them) has it, the outer row layout does.
struct OuterField {
    const Expr* node = nullptr; // the field inside the subquery's statement
    int column = -1;            // its column in the outer layout
};

using DescribeSource = std::function<std::vector<ColumnInfo>(const SelectStatement::Table& source)>;

// The outer fields `statement` reads, as Jet resolves names: `Alias.Field` belongs to the
// subquery when one of its sources has that alias (or that name when it has no alias), a bare
// name when one of its sources has such a field; otherwise the outer layout's column. Empty for
// a subquery that can run once.
std::vector<OuterField> findOuterFields(const SelectStatement& statement,
                                        const std::vector<ColumnInfo>& outerLayout,
                                        const DescribeSource& describe);

// A copy of `statement` with each of the given fields replaced by the value it has in the
// current outer row.
std::shared_ptr<const SelectStatement> withOuterValues(const SelectStatement& statement,
                                                       const QHash<const Expr*, jet4::Value>& values);

} // namespace convodesk::data::query
