#pragma once

#include "Expr.h"
#include "LikePattern.h"
#include "RowSource.h"

#include <QHash>
#include <optional>

namespace convodesk::data::query {

// "field = 'text'" or "field <> 'text'" with the field bound to a column; `text` is the
// literal in the bound expression.
struct TextComparison {
    int column = -1;
    const QString* text = nullptr;
    bool equal = true;
};

// An expression bound to a row layout: field references resolved to column indexes and
// LIKE patterns compiled once. Evaluation reads only the columns the expression needs.
class BoundExpr {
public:
    // Throws DataError(NoSuchField) naming `sourceName` for a field the layout lacks.
    BoundExpr(const Expr& expr, const std::vector<ColumnInfo>& layout, const QString& sourceName);

    jet4::Value evaluate(RowValues& row) const;
    bool passes(RowValues& row) const; // true only for a condition that is True (not Null)

    // Index of the column a reference names in the layout, -1 if none.
    static int resolve(const Expr& field, const std::vector<ColumnInfo>& layout);

private:
    void bind(Expr& node, const std::vector<ColumnInfo>& layout, const QString& sourceName);
    jet4::Value eval(const Expr& node, RowValues& row) const;

    ExprPtr root_;
    std::optional<TextComparison> rootTextComparison_; // when the whole condition is one

    QHash<const Expr*, LikePattern> patterns_;
};

} // namespace convodesk::data::query
