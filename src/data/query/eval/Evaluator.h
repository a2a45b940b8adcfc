#pragma once

#include "LikePattern.h"
#include "data/query/parse/Expr.h"
#include "data/query/run/CorrelatedSubquery.h"
#include "data/query/run/RowSource.h"

#include <QHash>
#include <QSet>
#include <optional>

namespace convodesk::data::query {

struct SelectStatement;

// Runs the SELECT of a subquery. One that reads fields of the row it is tested on (a
// correlated one) runs with those fields' values in their place.
class SubqueryRunner {
public:
    virtual ~SubqueryRunner() = default;
    virtual RowSet runSubquery(const SelectStatement& statement) = 0;
    // The fields of `statement` that name columns of `outerLayout` (see findOuterFields).
    virtual std::vector<OuterField> outerFields(const SelectStatement& statement,
                                                const std::vector<ColumnInfo>& outerLayout) = 0;
};

// What binding needs beyond the row layout.
struct BindContext {
    // A name no column has is a parameter the query needs (stored queries), not a missing field.
    bool unknownIsParameter = false;
    SubqueryRunner* subqueries = nullptr;
};

// "field = 'text'" or "field <> 'text'" with the field bound to a column; `text` is the
// literal in the bound expression.
struct TextComparison {
    int column = -1;
    const QString* text = nullptr;
    bool equal = true;
};

// An expression bound to a row layout: field references resolved to column indexes, functions
// looked up and LIKE patterns compiled once. Evaluation reads only the columns it needs.
class BoundExpr {
public:
    // Throws DataError: NoSuchField naming `sourceName` for a field the layout lacks (or
    // ParameterMissing, see BindContext), UndefinedFunction, a misplaced aggregate.
    BoundExpr(const Expr& expr, const std::vector<ColumnInfo>& layout, const QString& sourceName,
              const BindContext& context = {});

    jet4::Value evaluate(RowValues& row) const;
    bool passes(RowValues& row) const; // true only for a condition that is True (not Null)

    // Index of the column a reference names in the layout, -1 if none.
    static int resolve(const Expr& field, const std::vector<ColumnInfo>& layout);
    // True when the name is one of the aggregate functions (Sum, Count, ...).
    static bool isAggregate(const QString& functionName);
    // Throws DataError(ParameterMissing).
    [[noreturn]] static void missingParameter();

private:
    struct SubqueryResult {
        bool ready = false;
        RowSet rows;
        QSet<QString> keys; // In: the first column's values
        bool hasNull = false;
    };

    void bind(Expr& node, const std::vector<ColumnInfo>& layout, const QString& sourceName);
    jet4::Value eval(const Expr& node, RowValues& row) const;
    jet4::Value evalLike(const Expr& node, RowValues& row) const;
    jet4::Value evalCall(const Expr& node, RowValues& row) const;
    jet4::Value evalSubquery(const Expr& node, RowValues& row) const;
    SubqueryResult& subqueryResult(const Expr& node, RowValues& row) const;

    ExprPtr root_;
    BindContext context_;
    std::optional<TextComparison> rootTextComparison_; // when the whole condition is one

    QHash<const Expr*, LikePattern> patterns_;
    QHash<const Expr*, std::vector<OuterField>> outerFields_; // correlated subqueries only
    // Per subquery node: its result for each set of outer values ("" when it runs once).
    mutable QHash<const Expr*, QHash<QString, SubqueryResult>> subqueries_;
};

} // namespace convodesk::data::query
