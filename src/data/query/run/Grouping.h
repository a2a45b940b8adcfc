#pragma once

#include "data/query/eval/Evaluator.h"
#include "data/query/functions/Aggregate.h"

#include <memory>
#include <vector>

namespace convodesk::data::query {

// GROUP BY with aggregates. Expressions over the joined rows are rewritten to read a group's
// row: its grouped values first, then one column per aggregate they use. Rewrite every
// expression (outputs, HAVING, ORDER BY) before run().
class Grouping {
public:
    Grouping(const std::vector<const Expr*>& groupBy, const std::vector<ColumnInfo>& layout,
             const BindContext& context, const QString& queryName);

    // Throws DataError(NotAggregated) for a field neither grouped nor inside an aggregate.
    ExprPtr rewrite(const Expr& expression);
    const std::vector<ColumnInfo>& groupLayout() const { return groupLayout_; }
    // One row per group, ordered by the grouped values; without GROUP BY, one row even for none.
    std::vector<std::vector<jet4::Value>> run(std::vector<std::vector<jet4::Value>> rows) const;

    // True when the expression uses an aggregate function outside a subquery.
    static bool usesAggregate(const Expr& expression);

private:
    struct AggregateUse {
        ExprPtr call; // resolved against the joined layout
        Aggregate::Kind kind;
        std::unique_ptr<BoundExpr> argument; // nullptr for Count(*)
    };

    ExprPtr resolved(const Expr& expression) const;
    ExprPtr rewriteResolved(const Expr& node);

    const std::vector<ColumnInfo>& layout_;
    BindContext context_;
    QString queryName_;
    std::vector<ExprPtr> groups_;
    std::vector<std::unique_ptr<BoundExpr>> groupValues_;
    std::vector<AggregateUse> aggregates_;
    std::vector<ColumnInfo> groupLayout_;
};

} // namespace convodesk::data::query
